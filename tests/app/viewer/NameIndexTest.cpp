// The find index: a name matches on its own, never together with its neighbours.

#include "app/viewer/model/NameIndex.h"

#include <gtest/gtest.h>

namespace {

QList<VEntry> entriesNamed(const QStringList& names)
{
    QList<VEntry> entries;
    for (const QString& name : names)
        entries.append(VEntry {QStringLiteral("/disk/folder/") + name, false, false, 0});
    return entries;
}

using Positions = std::vector<qsizetype>;

}

TEST(NameIndex, MatchesEachNameOnItsOwnIgnoringCase)
{
    const NameIndex index(entriesNamed({"Report.txt", "xa", "by", "report report", "Ünïcødé", "notes"}));
    EXPECT_EQ(index.matching("REPORT"), (Positions {0, 3})) << "a name that holds it twice counts once";
    EXPECT_EQ(index.matching("ab"), Positions {}) << "never across two names";
    EXPECT_EQ(index.matching("a/b"), Positions {});
    EXPECT_EQ(index.matching("üNÏ"), Positions {4});
    EXPECT_EQ(index.matching("s"), (Positions {5}));
    EXPECT_EQ(index.matching(""), (Positions {0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(NameIndex().matching(""), Positions {});
    EXPECT_EQ(NameIndex().matching("a"), Positions {});
}
