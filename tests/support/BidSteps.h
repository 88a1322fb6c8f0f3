#pragma once
// Composing a bid in the bid editor the way the user does: a click on the group's name,
// an announcement chosen, the raiser or suit box filled, "Hozzáad".

#include "bidding/VmBid.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace BidSteps {

inline void ChooseGroup(TBidxForm *bid, int group)
{
    QListWidget *groups = bid->fdGroups;
    groups->scrollToItem(groups->item(group));
    QTest::mouseClick(groups->viewport(), Qt::LeftButton, {},
                      groups->visualItemRect(groups->item(group)).center());
}

// `higher` null: the raiser or suit box is left as it is.
inline void Add(TBidxForm *bid, int group, int entry, const QString &higher = QString())
{
    ChooseGroup(bid, group);
    bid->fdBid->setCurrentRow(entry);
    if (!higher.isNull())
        bid->fdHigher->setCurrentText(higher);
    bid->btAdd->click();
}

} // namespace BidSteps
