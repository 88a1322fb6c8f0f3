#pragma once
// A member's personal data: one window per "D" reply, freed when it closes.

#include "PersonalData.h"

#include <QWidget>
#include <array>

class Context;
class QCheckBox;
class QLineEdit;
class QPushButton;

class TStat : public QWidget
{
    Q_OBJECT
public:
    // The "D" handler: status digit, one blank, payload. Returns the window it opened, if any.
    static TStat *ReceiveStat(Context &ctx, const QString &argument);

    explicit TStat(Context &ctx);

    void cmSave();
    void cmCancel();
    void SendPersonalData();
    void ChangeNickname();
    PersonalData Data() const;
    bool NewEntry() const { return m_newEntry; }
    // False for a record shown for reading alone (status 2): it cannot be saved.
    bool CanSave() const { return m_canSave; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

public:

    QLineEdit *fdName = nullptr;
    QLineEdit *fdEmil = nullptr;
    QLineEdit *fdNick = nullptr;
    QLineEdit *fdTown = nullptr;
    QLineEdit *fdAddr = nullptr;
    QLineEdit *fdTel = nullptr;
    QLineEdit *fdMob = nullptr;
    QLineEdit *fdNote = nullptr;
    QCheckBox *fdPublic = nullptr;
    QPushButton *btSave = nullptr;
    QPushButton *btCancel = nullptr;

private:
    std::array<QLineEdit *, PersonalData::FieldCount> fields() const;

    Context &m_ctx;
    bool m_newEntry = false;
    bool m_canSave = true;
};
