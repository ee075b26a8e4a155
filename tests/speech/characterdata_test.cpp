#include "characterdata.h"
#include "failure.h"
#include "speechcharacter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <ostream>

namespace hiragana {
namespace {

const std::u16string MicKey = u"c:\\windows\\msagent\\mic.acs";

int FailureNumberOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const Failure &failure) {
        return failure.number();
    }
    return 0;
}

TEST(CharacterData, TheShippedMicFitsTheCornerLeftOfTheTextBox)
{
    const CharacterData mic = LoadCharacterData(MicKey);
    EXPECT_LE(mic.figureSize.width(), 64);
    EXPECT_LE(mic.figureSize.height(), 128);
    EXPECT_FALSE(mic.restFrame.isEmpty());
    EXPECT_FALSE(mic.talkFrame.isEmpty());
    EXPECT_NE(mic.restFrame, mic.talkFrame);
}

TEST(CharacterData, OnlyTheFileNameOfTheLoadKeyCounts)
{
    for (const std::u16string key : {u"mic.acs", u"C:/elsewhere/mic.acs", u"d:\\mic.acs"})
        EXPECT_EQ(LoadCharacterData(key).figureSize, LoadCharacterData(MicKey).figureSize);
}

TEST(CharacterData, AMissingFileIsFileNotFound)
{
    for (const std::u16string key : {u"c:\\windows\\msagent\\nosuch.acs", u"", u"c:\\windows\\msagent\\",
                                     u"..", u"c:\\windows\\msagent\\characters"})
        EXPECT_EQ(FailureNumberOf([&] { LoadCharacterData(key); }), Failure::FileNotFound);
}

// A folder of character data made by the test, chosen through the component's own setting.
class BrokenData : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        const QString shipped = ShippedFolder();
        for (const QString name : {"mic.svg", "mic-talk.svg"})
            ASSERT_TRUE(QFile::copy(QDir(shipped).filePath(name), m_folder.filePath(name)));
        Write("mic.acs", "[Figure]\nWidth=64\nHeight=128\nRest=mic.svg\nTalk=mic-talk.svg\n");
        qputenv(CharacterDirVariable, m_folder.path().toUtf8());
    }
    void TearDown() override { qunsetenv(CharacterDirVariable); }

    static QString ShippedFolder()
    {
        for (const QString &folder : CharacterDataFolders()) {
            if (QFile::exists(QDir(folder).filePath("mic.acs")))
                return folder;
        }
        return {};
    }

    void Write(const QString &name, const QByteArray &content)
    {
        QFile file(m_folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }

    int LoadFailure() { return FailureNumberOf([] { LoadCharacterData(MicKey); }); }

    QTemporaryDir m_folder;
};

TEST_F(BrokenData, AWholeCopyLoads) { EXPECT_EQ(LoadFailure(), 0); }

TEST_F(BrokenData, TheChosenFolderIsTheOnlyOneSearched)
{
    QFile::remove(m_folder.filePath("mic.acs"));
    EXPECT_EQ(LoadFailure(), Failure::FileNotFound);
}

TEST_F(BrokenData, AMissingFrameIsFileNotFound)
{
    QFile::remove(m_folder.filePath("mic-talk.svg"));
    EXPECT_EQ(LoadFailure(), Failure::FileNotFound);
}

struct BrokenFile {
    const char *name;
    QByteArray content;
};

void PrintTo(const BrokenFile &file, std::ostream *out) { *out << file.name << " of " << file.content.size() << " bytes"; }

class BrokenContent : public BrokenData, public ::testing::WithParamInterface<BrokenFile> {};

TEST_P(BrokenContent, IsAnInvalidFileFormat)
{
    Write(GetParam().name, GetParam().content);
    EXPECT_EQ(LoadFailure(), 321);
}

INSTANTIATE_TEST_SUITE_P(
    Files, BrokenContent,
    ::testing::Values(BrokenFile{"mic.acs", QByteArray("\x00\x01\x02 not a character", 20)},
                      BrokenFile{"mic.acs", "[Figure]\nWidth=0\nHeight=128\nRest=mic.svg\nTalk=mic-talk.svg\n"},
                      BrokenFile{"mic.acs", "[Figure]\nWidth=64\nHeight=tall\nRest=mic.svg\nTalk=mic-talk.svg\n"},
                      BrokenFile{"mic.acs", "[Figure]\nWidth=64\nHeight=128\nRest=../mic.svg\nTalk=mic-talk.svg\n"},
                      BrokenFile{"mic.acs", "[Figure]\nWidth=64\nHeight=128\nRest=mic.svg\nTalk=mic-talk.svg\n"
                                            "[Balloon]\nBackground=no colour\n"},
                      BrokenFile{"mic-talk.svg", "<svg this is not"}));

TEST(CharacterCollection, AMissingCharacterFailsItsLoad)
{
    const auto characters = CreateCharacterCollection();
    EXPECT_EQ(FailureNumberOf([&] { characters->Load(u"mic", u"c:\\windows\\msagent\\nosuch.acs"); }),
              Failure::FileNotFound);
    EXPECT_EQ(FailureNumberOf([&] { characters->Item(u"mic"); }), Failure::ObjectRequired);
}

TEST(CharacterCollection, LoadsMicOnceUnderItsId)
{
    const auto characters = CreateCharacterCollection();
    characters->Load(u"mic", MicKey);
    Character &mic = characters->Item(u"mic");
    EXPECT_EQ(&characters->Item(u"mic"), &mic);
    EXPECT_EQ(FailureNumberOf([&] { characters->Load(u"mic", MicKey); }), 457);
    EXPECT_EQ(FailureNumberOf([&] { characters->Item(u"Mic"); }), Failure::ObjectRequired);
}

} // namespace
} // namespace hiragana
