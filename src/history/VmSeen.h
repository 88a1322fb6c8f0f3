#pragma once
// Earlier deals by day: the day query of the main window's "Korábbi leosztások..." and the
// day chooser "Napok", one for each "Y" reply (the club's list of days with stored deals).

#include <QDate>
#include <QDialog>

class Context;
class QLabel;
class QListWidget;
class QPushButton;

class TSeen : public QDialog
{
    Q_OBJECT
public:
    // The "Y" handler: opens a new chooser with the days of the line, the last one selected.
    // The chooser is modal: no server line is handled until it closes. Returns it.
    static TSeen *ReceiveDays(Context &ctx, const QString &argument);

    // The day query: asks for a date (five days before `today` by default) and sends
    // "X0 <day>", or "X0 0" for an empty date. A text that is not a date fails with
    // "Hibás dátum" and sends nothing.
    static void DayQuery(Context &ctx, QDate today = QDate::currentDate());

    explicit TSeen(Context &ctx);

    // Sends "X0 <day>" for the selected day (nothing when none is selected) and closes.
    void cmOk();
    // The day number of each entry, in list order.
    QList<qint32> Days() const;

    QListWidget *fdDays = nullptr;
    QLabel *lbDays = nullptr;
    QPushButton *btOk = nullptr;
    QPushButton *btCancel = nullptr;

private:
    Context &m_ctx;
};
