#include "ViewerSession.h"
#include "app/viewer/model/SlotFiles.h"
#include "shared/DecodingError.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace {

SavedLayout layoutFor(const QString& folder)
{
    SavedLayout layout;
    layout.folder = folder;
    return layout;
}

// A writable session with an open folder "work" and a Branch over it.
class SavedViews : public testing::Test {
protected:
    void SetUp() override
    {
        Files::make(session / "work/file");
        b = std::make_unique<Branch>(session.viewsFolder());
        ASSERT_TRUE(openAndSettle(*b, work));
    }

    std::string slot(int n) const { return SlotFiles::path(session.viewsFolder(), n, work).toStdString(); }

    ViewerSession session;
    QString work = session.path("work");
    std::unique_ptr<Branch> b;
};

}

TEST(SavedLayout, JsonLeavesOutAbsentKeysAndReadsAnyOrder)
{
    SavedLayout layout = layoutFor("/x");
    layout.page = 3;
    const QByteArray plain = layout.encoded();
    EXPECT_EQ(plain, R"({"folder":"/x","full":false,"mod":false,"hidden":false,"page":3,"filter":"",)"
                     R"("eye":{"yaw":0.0,"pitch":0.42,"radius":26.0},"offsets":{}})");
    EXPECT_EQ(SavedLayout::decoded(plain), layout);

    layout.hand = true;
    layout.wheel = std::array<float, 4> {0, 0, 0.5f, 0.8660254f};
    layout.eye.pan = Shift3 {1, 2, 3};
    layout.offsets["/x/a"] = Shift3 {0.25, -1, 7};
    EXPECT_EQ(SavedLayout::decoded(layout.encoded()), layout);

    const SavedLayout shuffled = SavedLayout::decoded(
        R"({"offsets":{"/x/a":{"z":7,"y":-1,"x":0.25}},"eye":{"radius":26,"pitch":0.42,"yaw":0},)"
        R"("filter":"","page":3,"hidden":false,"mod":false,"full":false,"folder":"/x","hand":null})");
    EXPECT_EQ(shuffled.offsets.at("/x/a"), (Shift3 {0.25, -1, 7}));
    EXPECT_FALSE(shuffled.hand);
    EXPECT_THROW(SavedLayout::decoded(R"({"folder":"/x"})"), DecodingError);
    EXPECT_THROW(SavedLayout::decoded(""), DecodingError);
}

TEST(SavedLayout, SlotFoldersAreNamedByTheDigestOfTheFolderPath)
{
    EXPECT_EQ(SlotFiles::path("/data/Saved Views", 2, "/"),
              "/data/Saved Views/8a5edab282632443219e051e4ade2d1d5bbc671c781051bf1437897cbdfea0f1/View2.json");
}

TEST_F(SavedViews, SaveClearAndRecallASlot)
{
    b->setNeedle("fi");
    b->setPose(EyePose {1, 0.5f, 30, Shift3 {1, 2, 3}});
    b->saveView(2);
    EXPECT_EQ(b->notice(), "Saved View2 • " + work);
    EXPECT_EQ(b->savedSlots(), std::set<int> {2});
    ASSERT_TRUE(Files::exists(slot(2)));
    EXPECT_EQ(std::filesystem::status(std::filesystem::path(slot(2)).parent_path()).permissions(),
              std::filesystem::perms::owner_all);
    EXPECT_EQ(SlotFiles::read(QString::fromStdString(slot(2))).filter, "fi");

    Branch other(session.viewsFolder());
    ASSERT_TRUE(openAndSettle(other, work));
    EXPECT_EQ(other.savedSlots(), std::set<int> {2}) << "slots belong to the folder, not the window";

    b->clearView(2);
    EXPECT_EQ(b->notice(), "Cleared View2 • " + work);
    EXPECT_TRUE(b->savedSlots().empty());
    EXPECT_EQ(std::filesystem::file_size(slot(2)), 0u);
    b->recall(2);
    EXPECT_TRUE(b->notice().startsWith("Could not open View2: The data couldn’t be read"))
        << b->notice().toStdString();

    b->clearView(2);
    EXPECT_TRUE(b->notice().startsWith("Could not open View2")) << "clearing an empty slot does nothing";
}

TEST_F(SavedViews, RecallRestoresTheLayoutAndMovesTheCamera)
{
    SavedLayout layout = layoutFor(work);
    layout.full = true;
    layout.mod = true;
    layout.hidden = true;
    layout.page = -5;
    layout.filter = "fi";
    layout.eye = EyePose {0.5f, 0.1f, 40, Shift3 {1, 0, 0}};
    layout.offsets[work + "/file"] = Shift3 {1, 2, 3};
    layout.wheel = std::array<float, 4> {0, 0, 0, 1.005f};
    SlotFiles::makeFolder(QString::fromStdString(std::filesystem::path(slot(1)).parent_path()));
    Files::write(slot(1), layout.encoded().toStdString());
    layout.wheel = std::array<float, 4> {0, 0, 0, 1.02f};
    layout.hand = true;
    Files::write(slot(3), layout.encoded().toStdString());

    b->setSpin(true);
    const QUuid camera = b->cameraReset();
    b->recall(1);
    EXPECT_EQ(b->notice(), "Restored View1 • " + work);
    EXPECT_NE(b->cameraReset(), camera);
    EXPECT_FALSE(b->spin());
    EXPECT_FALSE(b->hand()) << "no hand key: hand mode off";
    EXPECT_TRUE(b->fullView());
    EXPECT_TRUE(b->modView());
    EXPECT_TRUE(b->hidden());
    EXPECT_EQ(b->page(), 0);
    EXPECT_EQ(b->needle(), "fi");
    EXPECT_EQ(b->pose(), layout.eye);
    EXPECT_EQ(b->wheel(), (Quaternion {0, 0, 0, 1})) << "normalised";
    EXPECT_EQ(b->offsets().at(work + "/file"), (Vec3 {1, 2, 3}));
    ASSERT_TRUE(waitUntil([&] { return settled(*b); }));
    EXPECT_EQ(b->offsets().size(), 1u) << "the file is still listed";

    b->setWheel({0, 0.6f, 0, 0.8f});
    b->recall(3);
    EXPECT_EQ(b->wheel(), Quaternion()) << "a stored wheel of length 1.02 is ignored";
    EXPECT_TRUE(b->hand());

    Files::write(slot(2), layoutFor("/elsewhere").encoded().toStdString());
    b->recall(2);
    EXPECT_EQ(b->notice(), "Saved view belongs to a different folder.");
}

TEST_F(SavedViews, EveryNewCameraTokenOfARecallComesWithTheSavedPose)
{
    SavedLayout layout = layoutFor(work);
    layout.eye = EyePose {-1.35f, -0.12f, 20.05f, Shift3 {0.5, -1, 2}};
    SlotFiles::makeFolder(QString::fromStdString(std::filesystem::path(slot(1)).parent_path()));
    Files::write(slot(1), layout.encoded().toStdString());

    QUuid seen = b->cameraReset();
    std::vector<EyePose> posesAtNewTokens;
    QObject::connect(b.get(), &Branch::changed, [&] {
        if (b->cameraReset() != seen) {
            seen = b->cameraReset();
            posesAtNewTokens.push_back(b->pose());
        }
    });
    b->recall(1);
    ASSERT_TRUE(waitUntil([&] { return settled(*b); }));
    // An observer that moves the camera at each new token ends at the saved pose.
    ASSERT_FALSE(posesAtNewTokens.empty());
    for (const EyePose& pose : posesAtNewTokens)
        EXPECT_EQ(pose, layout.eye);
}

TEST_F(SavedViews, RecallOfAVanishedFolderSaysSo)
{
    b->saveView(1);
    std::filesystem::remove_all(session / "work");
    b->recall(1);
    EXPECT_EQ(b->notice(), "The folder for View1 is no longer available: " + work);
}

TEST_F(SavedViews, SlotsOccupiedByAnythingElseAreRefused)
{
    const std::string unrelated = "An unrelated file occupies this saved view slot.";
    SlotFiles::makeFolder(QString::fromStdString(std::filesystem::path(slot(1)).parent_path()));
    Files::write(session / "target", "keep me");
    std::filesystem::create_symlink(session / "target", slot(1));
    b->saveView(1);
    EXPECT_EQ(b->notice().toStdString(), "Could not save view: " + unrelated);
    ASSERT_TRUE(b->failure());
    EXPECT_EQ(b->failure()->action, "Could not save view");
    EXPECT_EQ(Files::read(session / "target"), "keep me");

    b->saveView(2);
    std::filesystem::create_hard_link(slot(2), session / "second name");
    b->saveView(2);
    EXPECT_EQ(b->notice().toStdString(), "Could not save view: " + unrelated);

    Files::write(slot(3), layoutFor("/elsewhere").encoded().toStdString());
    b->saveView(3);
    EXPECT_EQ(b->notice().toStdString(), "Could not save view: " + unrelated);
    Files::write(slot(3), "");
    b->saveView(3);
    EXPECT_EQ(b->notice(), "Saved View3 • " + work) << "an empty slot is ours";
    b->saveView(3);
    EXPECT_EQ(b->notice(), "Saved View3 • " + work) << "so is our own layout";

    std::filesystem::remove_all(session.viewsFolder().toStdString());
    Files::write(session.viewsFolder().toStdString(), "a file in the way");
    b->saveView(1);
    EXPECT_EQ(b->notice(), "Could not save view: A file, link, or package occupies this location. Setup stopped.");
}

TEST(SavedViewsSession, ReadOnlySessionsRecallButNeverWrite)
{
    ViewerSession session(true);
    Files::make(session / "work/file");
    const QString work = session.path("work");
    SavedLayout layout = layoutFor(work);
    layout.mod = true;
    const QString slot = SlotFiles::path(session.viewsFolder(), 1, work);
    SlotFiles::makeFolder(QString::fromStdString(std::filesystem::path(slot.toStdString()).parent_path()));
    SlotFiles::create(slot, layout.encoded());
    Files::write(SlotFiles::legacyPath(session.viewsFolder(), 2).toStdString(), layout.encoded().toStdString());

    Branch b(session.viewsFolder());
    ASSERT_TRUE(openAndSettle(b, work));
    EXPECT_EQ(b.savedSlots(), std::set<int> {1}) << "nothing imported";
    b.saveView(2);
    b.clearView(1);
    EXPECT_EQ(b.notice(), "");
    b.recall(1);
    EXPECT_EQ(b.notice(), "Restored View1 • " + work);
    EXPECT_FALSE(b.modView());
}

TEST(SavedViewsSession, LegacyViewsAreCopiedOnceUnlessTheSlotHasAFile)
{
    ViewerSession session;
    const QString work = session.path("work");
    Files::makeFolder(session / "work");
    const std::string legacy1 = SlotFiles::legacyPath(session.viewsFolder(), 1).toStdString();
    const std::string legacy2 = SlotFiles::legacyPath(session.viewsFolder(), 2).toStdString();
    Files::write(legacy1, layoutFor(work).encoded().toStdString());
    SavedLayout second = layoutFor(work);
    second.page = 2;
    Files::write(legacy2, second.encoded().toStdString());
    const QString slot2 = SlotFiles::path(session.viewsFolder(), 2, work);
    SlotFiles::makeFolder(QString::fromStdString(std::filesystem::path(slot2.toStdString()).parent_path()));
    SlotFiles::create(slot2, "");
    Files::write(SlotFiles::legacyPath(session.viewsFolder(), 3).toStdString(), "not a layout");

    Branch b(session.viewsFolder());
    EXPECT_EQ(Files::read(SlotFiles::path(session.viewsFolder(), 1, work).toStdString()), Files::read(legacy1));
    EXPECT_TRUE(Files::exists(legacy1)) << "the old file stays";
    EXPECT_EQ(std::filesystem::file_size(slot2.toStdString()), 0u) << "an existing slot file is kept";
    EXPECT_TRUE(b.notice().startsWith("Could not import View3: The data couldn’t be read"))
        << b.notice().toStdString();
}

TEST_F(SavedViews, LayoutsLargerThanAnyOfOursAreRefused)
{
    b->saveView(1);
    SavedLayout layout = SlotFiles::read(QString::fromStdString(slot(1)));
    const auto plant = [&](const std::string& bytes) { std::ofstream(slot(1), std::ios::trunc) << bytes; };
    const auto recalled = [&](const SavedLayout& planted) {
        plant(planted.encoded().toStdString());
        b->recall(1);
        return b->notice();
    };

    for (size_t i = 0; i < SavedLayout::mostOffsets; ++i)
        layout.offsets[work + "/dot" + QString::number(i)] = Shift3 {1, 2, 3};
    EXPECT_TRUE(recalled(layout).startsWith("Restored View1")) << "a full view of dots is ours";
    layout.offsets[work + "/one more"] = Shift3 {1, 2, 3};
    EXPECT_TRUE(recalled(layout).startsWith("Could not open View1: The data couldn’t be read")) << b->notice().toStdString();

    layout.offsets.clear();
    layout.filter = QString(SavedLayout::longestFilter + 1, u'x');
    EXPECT_TRUE(recalled(layout).startsWith("Could not open View1: The data couldn’t be read")) << b->notice().toStdString();

    layout.filter.clear();
    plant(std::string(SavedLayout::largestFile + 1, ' ') + layout.encoded().toStdString());
    b->recall(1);
    EXPECT_TRUE(b->notice().startsWith("Could not open View1: The data couldn’t be read")) << "refused unread";
}
