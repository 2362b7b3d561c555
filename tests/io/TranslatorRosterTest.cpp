#include "nevrik/io/TranslatorRoster.h"

#include "io/TempFolder.h"
#include "nevrik/io/SystemFileFactory.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace nevrik::io {
namespace {

using object::Pointer;

// What the test translators decode: the bytes they were given.
struct Text : object::Object {
    explicit Text(std::string text) : bytes(std::move(text)) {}
    std::string bytes;
};

// Claims data that starts with its tag. Its probe reads far, leaving the
// position wherever that read ended, and records where it started.
class TagTranslator : public Translator<Text> {
public:
    explicit TagTranslator(char tag, bool throws = false) : mTag(tag), mThrows(throws) {}

    Pointer<Text> read(InputStream& stream, std::uint32_t size) override {
        std::string bytes(size, '\0');
        bytes.resize(static_cast<std::size_t>(stream.read(bytes.data(), static_cast<std::int32_t>(size))));
        return object::make<Text>(bytes);
    }
    bool write(OutputStream&, Text&) override { return false; }
    bool probe(File& file) override {
        starts.push_back(file.getPosition());
        if (mThrows) {
            throw std::runtime_error("probe failed");
        }
        char bytes[64] = {};
        file.getInputStream().read(bytes, sizeof bytes);
        return bytes[0] == mTag;
    }

    std::vector<std::int32_t> starts;

private:
    char mTag;
    bool mThrows;
};

class TranslatorRosterTest : public ::testing::Test {
protected:
    Pointer<File> open(const std::string& bytes, std::int32_t position) {
        mFolder.write("data", bytes);
        Pointer<File> file = mFactory.open("data", File::kRead);
        file->seek(position, File::kBegin);
        return file;
    }

    testing::TempFolder mFolder;
    SystemFileFactory mFactory{mFolder.path().c_str()};
    TranslatorRoster<Text> mRoster;
};

TEST_F(TranslatorRosterTest, EmptyRosterFindsNothingAndLeavesThePosition) {
    Pointer<File> file = open("xyz", 2);
    EXPECT_EQ(mRoster.find(*file), nullptr);
    EXPECT_EQ(file->getPosition(), 2);
}

TEST_F(TranslatorRosterTest, EveryProbeStartsWhereFindStartedAndFindPutsTheFileBack) {
    TagTranslator a('A'), b('B'), c('C');
    for (TagTranslator* translator : {&a, &b, &c}) {
        mRoster.add(translator);
    }
    Pointer<File> file = open("..B-data", 2);
    EXPECT_EQ(mRoster.find(*file), &b);
    EXPECT_EQ(file->getPosition(), 2);
    EXPECT_EQ(a.starts, std::vector<std::int32_t>{2});
    EXPECT_EQ(b.starts, std::vector<std::int32_t>{2});
    // The first match wins: later translators are not asked.
    EXPECT_TRUE(c.starts.empty());

    file->seek(0, File::kBegin);
    EXPECT_EQ(mRoster.find(*file), nullptr);
    EXPECT_EQ(file->getPosition(), 0);
    EXPECT_EQ(c.starts, std::vector<std::int32_t>{0});
}

TEST_F(TranslatorRosterTest, ThrowingProbeStillPutsTheFileBack) {
    TagTranslator thrower('A', true);
    mRoster.add(&thrower);
    Pointer<File> file = open("Abc", 1);
    EXPECT_THROW(mRoster.find(*file), std::runtime_error);
    EXPECT_EQ(file->getPosition(), 1);
}

TEST_F(TranslatorRosterTest, RegistrationTakesOneReferenceAndADestroyedTranslatorDropsOut) {
    auto* counted = new TagTranslator('T');
    EXPECT_TRUE(mRoster.add(counted));
    EXPECT_FALSE(mRoster.add(counted));
    EXPECT_EQ(counted->getReferenceCount(), 2);
    counted->release();
    {
        TagTranslator gone('G');
        EXPECT_TRUE(mRoster.add(&gone));
        EXPECT_EQ(mRoster.getTranslators().getCount(), 2);
    }
    EXPECT_EQ(mRoster.getTranslators().getCount(), 1);
    Pointer<File> file = open("G", 0);
    EXPECT_EQ(mRoster.find(*file), nullptr);
    EXPECT_EQ(counted->starts.size(), 1u);
}

TEST_F(TranslatorRosterTest, LoadDecodesTheWholeFileOrNamesWhyNotAndReleasesTheFile) {
    TagTranslator a('A'), b('B');
    mRoster.add(&a);
    mRoster.add(&b);
    mFolder.write("b.txt", "B and the rest");
    Pointer<Text> text = mRoster.load(mFactory, "b.txt");
    ASSERT_TRUE(text);
    EXPECT_EQ(text->bytes, "B and the rest");
    EXPECT_EQ(text->getReferenceCount(), 1);

    EXPECT_THROW(mRoster.load(mFactory, "absent"), FileNotFoundException);
    mFolder.write("other", "no tag");
    try {
        mRoster.load(mFactory, "other");
        ADD_FAILURE() << "no exception";
    } catch (const TranslatorFormatException& error) {
        EXPECT_STREQ(error.getMessage().c_str(), "TranslatorFormatException");
    }
    // An exclusive open succeeds only if load let go of the files.
    EXPECT_TRUE(mFactory.open("other", File::kRead));
    EXPECT_TRUE(mFactory.open("b.txt", File::kRead));
}

}  // namespace
}  // namespace nevrik::io
