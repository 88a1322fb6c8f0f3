#include "HistoryIndex.h"

THistoryIndex::TPlace THistoryIndex::Place(const QString &board, qint32 day, qint32 id)
{
    TPlace place;
    auto boardIt = m_boardByKey.constFind(board);
    if (boardIt == m_boardByKey.cend()) {
        place.NewBoard = true;
        place.BoardGroup = int(m_boards.size());
        m_boards.emplace_back();
        m_boardByKey.insert(board, place.BoardGroup);
    } else {
        place.BoardGroup = *boardIt;
    }
    TBoardGroup &group = m_boards[size_t(place.BoardGroup)];

    auto dayIt = group.days.constFind(day);
    if (dayIt == group.days.cend()) {
        place.NewDay = true;
        place.DayGroup = int(m_days.size());
        m_days.push_back({group.dayCount++, {}});
        group.days.insert(day, place.DayGroup);
    } else {
        place.DayGroup = *dayIt;
    }
    TDayGroup &dayGroup = m_days[size_t(place.DayGroup)];

    auto dealIt = dayGroup.ids.constFind(id);
    if (dealIt != dayGroup.ids.cend()) {
        place.Deal = *dealIt;
        return place;
    }
    place.NewDeal = true;
    place.Deal = int(m_deals.size());
    const TDealPlace at{dayGroup.order, int(dayGroup.ids.size())};
    m_deals.push_back(at);
    dayGroup.ids.insert(id, place.Deal);

    // A deal appended under an earlier day node comes before one under a later day node.
    auto first = group.firstById.find(id);
    if (first == group.firstById.end()) {
        group.firstById.insert(id, place.Deal);
    } else {
        const TDealPlace &known = m_deals[size_t(*first)];
        if (at.dayOrder < known.dayOrder || (at.dayOrder == known.dayOrder && at.inDay < known.inDay))
            *first = place.Deal;
    }
    return place;
}

int THistoryIndex::FirstWithId(const QString &board, qint32 id) const
{
    const auto boardIt = m_boardByKey.constFind(board);
    if (boardIt == m_boardByKey.cend())
        return None;
    return m_boards[size_t(*boardIt)].firstById.value(id, None);
}
