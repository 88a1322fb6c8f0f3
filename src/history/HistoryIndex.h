#pragma once
// Where each deal stands in the history tree: board number -> day -> deal id, each step a
// hash look-up. The tree is only ever appended to, so a deal's place never changes, and
// "first in tree order" is a comparison of two places rather than a walk through the tree.
// Deals, board groups and day groups are numbered from 0 in order of arrival; the window
// keeps its tree nodes under the same numbers.

#include <QHash>
#include <QString>
#include <vector>

class THistoryIndex
{
public:
    static constexpr int None = -1;

    // Where an "X0" record goes: the deal stored for board, day and id, or a new one.
    struct TPlace
    {
        int Deal = None;
        int BoardGroup = None;
        int DayGroup = None;
        bool NewBoard = false; // a level-0 node must be appended for the board
        bool NewDay = false;   // a level-1 node for the day, carrying the deal
        bool NewDeal = false;  // the deal is new (a level-2 node unless NewDay)
    };
    TPlace Place(const QString &board, qint32 day, qint32 id);

    // The first deal of the board with this id in tree order (day nodes in their order, and
    // within a day its own deal before the later ones); None when there is none.
    int FirstWithId(const QString &board, qint32 id) const;

    int DealCount() const { return int(m_deals.size()); }

private:
    struct TBoardGroup
    {
        QHash<qint32, int> days; // day number -> day group
        int dayCount = 0;
        QHash<qint32, int> firstById; // id -> first deal in tree order
    };
    struct TDayGroup
    {
        int order = 0;          // among its board's days
        QHash<qint32, int> ids; // id -> deal
    };
    struct TDealPlace
    {
        int dayOrder = 0;   // its day node among the board's days
        int inDay = 0;      // 0 = the day node's own deal, then the level-2 nodes in order
    };

    QHash<QString, int> m_boardByKey;
    std::vector<TBoardGroup> m_boards;
    std::vector<TDayGroup> m_days;
    std::vector<TDealPlace> m_deals;
};
