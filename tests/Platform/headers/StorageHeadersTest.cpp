// The roster's and the file panel's headers alone bring what BeOS code uses with them:
// entries, nodes, folders, messengers and messages.
#include <FilePanel.h>
#include <Roster.h>

#include <gtest/gtest.h>

namespace {

class FoldersOnly : public BRefFilter {
public:
	bool Filter(const entry_ref*, BNode* node, struct stat*, const char*) override
	{
		return node->IsDirectory();
	}
};

} // namespace

TEST(BeHeaders, RosterAndFilePanelBringEntriesNodesAndMessengers)
{
	BEntry entry("/");
	EXPECT_TRUE(entry.IsDirectory());
	BDirectory folder("/");
	EXPECT_EQ(B_OK, folder.InitCheck());
	BNode node("/");
	FoldersOnly filter;
	EXPECT_TRUE(filter.Filter(nullptr, &node, nullptr, nullptr));
	BMessage message(B_REFS_RECEIVED);
	EXPECT_FALSE(BMessenger().IsValid());
}
