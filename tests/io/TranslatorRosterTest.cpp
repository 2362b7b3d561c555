#include "nevrik/io/TranslatorRoster.h"

#include "nevrik/io/SystemFileFactory.h"
#include "io/TempFolder.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace nevrik::io {
namespace {

using object::Pointer;

// What the test translators decode: the bytes they were given.
class Text : public object::Object {
public:
    explicit Text(std::string bytes) : mBytes(std::move(bytes)) {}
    std::string mBytes;
};

// Recognises files whose data starts with its tag; its probe reads far and
// leaves the position wherever that read ended, and records where it started.
class TagTranslator : public Translator<Text> {
public:
    explicit TagTranslator(char tag) : mTag(tag) {}

    Pointer<Text> read(InputStream& stream, std::uint32_t size) override {
        std::string bytes(size, '\0');
        bytes.resize(static_cast<std::size_t>(stream.read(bytes.data(), static_cast<std::int32_t>(size))));
        return Pointer<Text>::adopt(new Text(bytes));
    }
    bool write(OutputStream&, Text&) override { return false; }
    bool probe(File& file) override {
        mStarts.push_back(file.getPosition());
        if (mThrows) {
            throw std::runtime_error("probe failed");
        }
        char bytes[64] = {};
        file.getInputStream().read(bytes, sizeof bytes);
        return bytes[0] == mTag;
    }

    char mTag;
    bool mThrows = false;
    std::vector<std::int32_t> mStarts;
};

class TranslatorRosterTest : public ::testing::Test {
protected:
    Pointer<File> open(const std::string& bytes) {
        mFolder.write("data", bytes);
        return mFactory.open("data", File::kRead);
    }

    testing::TempFolder mFolder;
    SystemFileFactory mFactory{mFolder.path().c_str()};
    TranslatorRoster<Text> mRoster;
};

TEST_F(TranslatorRosterTest, EmptyRosterFindsNothingAndLeavesThePosition) {
    Pointer<File> file = open("xyz");
    file->seek(2, File::kBegin);
    EXPECT_EQ(mRoster.find(*file), nullptr);
    EXPECT_EQ(file->getPosition(), 2);
}

TEST_F(TranslatorRosterTest, EveryProbeStartsWhereFindStartedAndFindPutsTheFileBack) {
    TagTranslator a('A'), b('B'), c('C');
    mRoster.add(&a);
    mRoster.add(&b);
    mRoster.add(&c);
    Pointer<File> file = open("..B-data");
    file->seek(2, File::kBegin);
    EXPECT_EQ(mRoster.find(*file), &b);
    EXPECT_EQ(file->getPosition(), 2);
    EXPECT_EQ(a.mStarts, std::vector<std::int32_t>{2});
    EXPECT_EQ(b.mStarts, std::vector<std::int32_t>{2});
    // The first match wins: later translators are not asked.
    EXPECT_TRUE(c.mStarts.empty());

    file->seek(0, File::kBegin);
    EXPECT_EQ(mRoster.find(*file), nullptr);
    EXPECT_EQ(file->getPosition(), 0);
    EXPECT_EQ(c.mStarts, std::vector<std::int32_t>{0});
}

TEST_F(TranslatorRosterTest, ThrowingProbeStillPutsTheFileBack) {
    TagTranslator a('A');
    a.mThrows = true;
    mRoster.add(&a);
    Pointer<File> file = open("Abc");
    file->seek(1, File::kBegin);
    EXPECT_THROW(mRoster.find(*file), std::runtime_error);
    EXPECT_EQ(file->getPosition(), 1);
}

TEST_F(TranslatorRosterTest, TranslatorDestroyedWhileRegisteredDropsOut) {
    TagTranslator kept('K');
    mRoster.add(&kept);
    {
        TagTranslator gone('G');
        EXPECT_TRUE(mRoster.add(&gone));
        EXPECT_EQ(mRoster.getTranslators().getCount(), 2);
    }
    EXPECT_EQ(mRoster.getTranslators().getCount(), 1);
    Pointer<File> file = open("G");
    EXPECT_EQ(mRoster.find(*file), nullptr);
    EXPECT_EQ(kept.mStarts.size(), 1u);
}

TEST_F(TranslatorRosterTest, AddTakesOneReferenceAndRefusesASecondRegistration) {
    auto* translator = new TagTranslator('T');
    EXPECT_TRUE(mRoster.add(translator));
    EXPECT_EQ(translator->getReferenceCount(), 2);
    EXPECT_FALSE(mRoster.add(translator));
    EXPECT_FALSE(mRoster.add(nullptr));
    EXPECT_EQ(translator->getReferenceCount(), 2);
    translator->release();
    EXPECT_EQ(mRoster.getTranslators().getCount(), 1);
}

TEST_F(TranslatorRosterTest, LoadDecodesTheWholeFileWithTheClaimingTranslator) {
    TagTranslator a('A'), b('B');
    mRoster.add(&a);
    mRoster.add(&b);
    mFolder.write("b.txt", "B and the rest");
    Pointer<Text> text = mRoster.load(mFactory, "b.txt");
    ASSERT_TRUE(text);
    EXPECT_EQ(text->mBytes, "B and the rest");
    EXPECT_EQ(text->getReferenceCount(), 1);
}

TEST_F(TranslatorRosterTest, LoadFailuresNameTheCauseAndReleaseTheFile) {
    TagTranslator a('A');
    mRoster.add(&a);
    EXPECT_THROW(mRoster.load(mFactory, "absent"), FileNotFoundException);
    mFolder.write("other", "no tag");
    try {
        mRoster.load(mFactory, "other");
        ADD_FAILURE() << "no exception";
    } catch (const TranslatorFormatException& error) {
        EXPECT_STREQ(error.getMessage().c_str(), "TranslatorFormatException");
    }
    // An exclusive open succeeds only if load let go of the file.
    EXPECT_TRUE(mFactory.open("other", File::kRead));
}

}  // namespace
}  // namespace nevrik::io
