#include "model/PrivateProfile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> FolderEntries(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The bytes of a literal that may hold NULs, without its terminator.
template <size_t N> std::string Bytes(const char (&text)[N])
{
    return std::string(text, N - 1);
}

mode_t ModeBits(const fs::path& path)
{
    struct stat info = {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

} // namespace

TEST(PrivateProfileRead, MissingFileGivesDefaults)
{
    TempDir dir;
    PrivateProfile ini(dir / "param.ini");
    EXPECT_EQ(ini.GetInt("KLM-204", "SCALE", 7), 7);
    EXPECT_EQ(ini.GetString("KLM-204", "OPEN", "/x/Save/"), "/x/Save/");
    EXPECT_FALSE(fs::exists(dir / "param.ini"));
}

TEST(PrivateProfileRead, LookupRules)
{
    TempDir dir;
    dir.WriteFile("a.ini", "GLOBAL=1\n"
                           "  [ klm-204 ]  ; trailing text\n"
                           "; Scale=5\n"
                           "  Scale = 3\n"
                           "SCALE=4\n"
                           "[Other]\n"
                           "Mouse=9\n"
                           "[KLM-204]\n"
                           "MOUSE=2\n");
    PrivateProfile ini(dir / "a.ini");
    EXPECT_EQ(ini.GetInt("KLM-204", "scale", -1), 3)
        << "case-insensitive, trimmed, comment skipped, first key wins";
    EXPECT_EQ(ini.GetInt("KLM-204", "MOUSE", -1), -1) << "only the first matching section counts";
    EXPECT_EQ(ini.GetInt("other", "MOUSE", -1), 9);
    EXPECT_EQ(ini.GetInt("KLM-204", "GLOBAL", -1), -1) << "keys before any section belong to none";
    EXPECT_EQ(ini.GetInt("Missing", "SCALE", -1), -1);
}

TEST(PrivateProfileRead, IntegerValues)
{
    TempDir dir;
    dir.WriteFile("a.ini", "[S]\nEMPTY=\nBLANK=   \nQUOTED=\"\"\nGARBAGE=abc\nMIXED=12abc\nNEG= -37\n"
                           "PLUS=+5\nQ='42'\nHUGE=99999999999999999999\nTINY=-99999999999\nMAXI=2147483647\n"
                           "MINI=-2147483648\nSIGN=-\n");
    PrivateProfile ini(dir / "a.ini");
    EXPECT_EQ(ini.GetInt("S", "EMPTY", 11), 11);
    EXPECT_EQ(ini.GetInt("S", "BLANK", 11), 11);
    EXPECT_EQ(ini.GetInt("S", "QUOTED", 11), 11);
    EXPECT_EQ(ini.GetInt("S", "GARBAGE", 11), 0);
    EXPECT_EQ(ini.GetInt("S", "MIXED", 11), 12);
    EXPECT_EQ(ini.GetInt("S", "NEG", 11), -37);
    EXPECT_EQ(ini.GetInt("S", "PLUS", 11), 5);
    EXPECT_EQ(ini.GetInt("S", "Q", 11), 42);
    EXPECT_EQ(ini.GetInt("S", "HUGE", 11), INT32_MAX);
    EXPECT_EQ(ini.GetInt("S", "TINY", 11), INT32_MIN);
    EXPECT_EQ(ini.GetInt("S", "MAXI", 11), INT32_MAX);
    EXPECT_EQ(ini.GetInt("S", "MINI", 11), INT32_MIN);
    EXPECT_EQ(ini.GetInt("S", "SIGN", 11), 0);
}

TEST(PrivateProfileRead, StringValues)
{
    EXPECT_EQ(profile::CleanValue("  a b \t"), "a b");
    EXPECT_EQ(profile::CleanValue(" \"a b \" "), "a b ");
    EXPECT_EQ(profile::CleanValue("'x'"), "x");
    EXPECT_EQ(profile::CleanValue("\"\"x\"\""), "\"x\"") << "only one pair goes";
    EXPECT_EQ(profile::CleanValue("\"x'"), "\"x'");
    EXPECT_EQ(profile::CleanValue("\""), "\"");

    TempDir dir;
    dir.WriteFile("a.ini", "[S]\nEMPTY=\nPATH= \"/home/u/Save/\" \nEQ=a=b\n");
    PrivateProfile ini(dir / "a.ini");
    EXPECT_EQ(ini.GetString("S", "EMPTY", "def"), "") << "present but empty is not missing";
    EXPECT_EQ(ini.GetString("S", "PATH", "def"), "/home/u/Save/");
    EXPECT_EQ(ini.GetString("S", "EQ", "def"), "a=b");
}

TEST(PrivateProfileWrite, ReplacesInPlaceKeepingEverythingElse)
{
    TempDir dir;
    const std::string before = "; settings\n"
                               "\n"
                               "[KLM-204]\n"
                               "  scale = 3   \n"
                               "MOUSE=1\n"
                               "\n"
                               "[Other]  \n"
                               "SCALE=9\n"
                               "odd line without equals\n";
    dir.WriteFile("a.ini", before);
    PrivateProfile ini(dir / "a.ini");
    ASSERT_TRUE(ini.WriteString("klm-204", "SCALE", "11"));
    std::string expected = before;
    expected.replace(expected.find("  scale = 3   "), 14, "SCALE=11");
    EXPECT_EQ(dir.ReadFile("a.ini"), expected);
    EXPECT_EQ(ini.GetInt("KLM-204", "SCALE", 0), 11);
}

TEST(PrivateProfileWrite, AppendsKeyAtTheEndOfItsSection)
{
    TempDir dir;
    dir.WriteFile("a.pie", "[PIECE]\nAMOUNT=1\n; kept\n\n\n[SITE1]\nNAME=x\n");
    PrivateProfile pie(dir / "a.pie");
    ASSERT_TRUE(pie.WriteString("PIECE", "SCALE", "4"));
    ASSERT_TRUE(pie.WriteString("SITE1", "LENGTH", "1000"));
    EXPECT_EQ(dir.ReadFile("a.pie"),
              "[PIECE]\nAMOUNT=1\n; kept\nSCALE=4\n\n\n[SITE1]\nNAME=x\nLENGTH=1000\n");

    // A last line without its newline gets one before the new key.
    dir.WriteFile("b.pie", "[PIECE]\nAMOUNT=1");
    PrivateProfile b(dir / "b.pie");
    ASSERT_TRUE(b.WriteString("PIECE", "SCALE", "0"));
    EXPECT_EQ(dir.ReadFile("b.pie"), "[PIECE]\nAMOUNT=1\nSCALE=0\n");
}

TEST(PrivateProfileWrite, CreatesFileAndSections)
{
    TempDir dir;
    PrivateProfile pie(dir / "new.pie");
    ASSERT_TRUE(pie.WriteString("PIECE", "AMOUNT", "0"));
    ASSERT_TRUE(pie.WriteString("PIECE", "SCALE", "2"));
    ASSERT_TRUE(pie.WriteString("SITE1", "NAME", ""));
    EXPECT_EQ(dir.ReadFile("new.pie"), "[PIECE]\nAMOUNT=0\nSCALE=2\n\n[SITE1]\nNAME=\n");
    EXPECT_EQ(ModeBits(dir / "new.pie") & 0600, 0600u);
}

TEST(PrivateProfileWrite, KeepsCrLfLineEndings)
{
    TempDir dir;
    dir.WriteFile("a.ini", "[KLM-204]\r\nSCALE=1\r\n\r\n[X]\r\nA=1\r\n");
    PrivateProfile ini(dir / "a.ini");
    ASSERT_TRUE(ini.WriteString("KLM-204", "MOUSE", "2"));
    ASSERT_TRUE(ini.WriteString("Y", "B", "3"));
    EXPECT_EQ(dir.ReadFile("a.ini"),
              "[KLM-204]\r\nSCALE=1\r\nMOUSE=2\r\n\r\n[X]\r\nA=1\r\n\r\n[Y]\r\nB=3\r\n");
    EXPECT_EQ(ini.GetInt("KLM-204", "SCALE", 0), 1) << "no carriage return left in values";
}

TEST(PrivateProfileWrite, LineBreaksAndBadNamesCannotCorruptTheFile)
{
    TempDir dir;
    PrivateProfile pie(dir / "a.pie");
    ASSERT_TRUE(pie.WriteString("SITE1", "NAME", "a\r\nAMOUNT=99\n[PIECE]"));
    EXPECT_EQ(pie.GetString("SITE1", "NAME", "?"), "a  AMOUNT=99 [PIECE]");
    EXPECT_EQ(pie.GetInt("SITE1", "AMOUNT", -1), -1);
    EXPECT_EQ(pie.GetInt("PIECE", "AMOUNT", -1), -1);

    const std::string before = dir.ReadFile("a.pie");
    EXPECT_FALSE(pie.WriteString("SITE1", "A=B", "1"));
    EXPECT_FALSE(pie.WriteString("SITE1", "", "1"));
    EXPECT_FALSE(pie.WriteString("SITE1", ";x", "1"));
    EXPECT_FALSE(pie.WriteString("SITE1", "[x]", "1"));
    EXPECT_FALSE(pie.WriteString("A]B", "K", "1"));
    EXPECT_FALSE(pie.WriteString("A\nB", "K", "1"));
    EXPECT_EQ(dir.ReadFile("a.pie"), before);
}

TEST(PrivateProfileWrite, RefusesWhatItCannotWriteAndLeavesNothingBehind)
{
    TempDir dir;
    dir.WriteFile("ro.ini", "[S]\nA=1\n");
    fs::permissions(dir / "ro.ini", fs::perms::owner_read | fs::perms::group_read);
    EXPECT_FALSE(PrivateProfile(dir / "ro.ini").WriteString("S", "A", "2"));
    EXPECT_EQ(dir.ReadFile("ro.ini"), "[S]\nA=1\n");

    EXPECT_FALSE(PrivateProfile(dir / "missing" / "param.ini").WriteString("S", "A", "1"));
    EXPECT_FALSE(fs::exists(dir / "missing"));

    // Something that exists but cannot be read as a file is not replaced.
    fs::create_directory(dir / "folder.ini");
    EXPECT_FALSE(PrivateProfile(dir / "folder.ini").WriteString("S", "A", "1"));
    EXPECT_TRUE(fs::is_directory(dir / "folder.ini"));

    dir.WriteFile("rw.ini", "[S]\nA=1\n");
    fs::permissions(dir / "rw.ini", static_cast<fs::perms>(0640));
    PrivateProfile rw(dir / "rw.ini");
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(rw.WriteString("S", "A", std::to_string(i)));
    EXPECT_EQ(ModeBits(dir / "rw.ini"), 0640u);
    EXPECT_EQ(FolderEntries(dir.Path()), (std::vector<std::string>{"folder.ini", "ro.ini", "rw.ini"}));
}

TEST(PrivateProfileWrite, WritesThroughSymbolicLink)
{
    TempDir dir;
    dir.WriteFile("real.ini", "[S]\nA=1\n");
    fs::create_symlink("real.ini", dir / "link.ini");
    ASSERT_TRUE(PrivateProfile(dir / "link.ini").WriteString("S", "A", "2"));
    EXPECT_TRUE(fs::is_symlink(dir / "link.ini"));
    EXPECT_EQ(dir.ReadFile("real.ini"), "[S]\nA=2\n");
}

TEST(PrivateProfileEncoding, CyrillicUtf8RoundTrip)
{
    TempDir dir;
    PrivateProfile pie(dir / "Трасса.pie");
    ASSERT_TRUE(pie.WriteString("SITE1", "NAME", "Участок Ёж №1"));
    EXPECT_EQ(pie.GetString("SITE1", "NAME", ""), "Участок Ёж №1");
    EXPECT_EQ(dir.ReadFile("Трасса.pie"), "[SITE1]\nNAME=Участок Ёж №1\n");
}

TEST(PrivateProfileEncoding, Windows1251LinesReadAsTextAndKeptAsTheyWere)
{
    TempDir dir;
    // "Участок" and "Ёё№" in Windows-1251.
    const std::string before = "[SITE1]\r\nNAME=\xD3\xF7\xE0\xF1\xF2\xEE\xEA\r\nNOTE=\xA8\xB8\xB9\r\n";
    dir.WriteFile("a.pie", before);
    PrivateProfile pie(dir / "a.pie");
    EXPECT_EQ(pie.GetString("SITE1", "NAME", ""), "Участок");
    EXPECT_EQ(pie.GetString("SITE1", "NOTE", ""), "Ёё№");
    ASSERT_TRUE(pie.WriteString("SITE1", "LENGTH", "1000"));
    EXPECT_EQ(dir.ReadFile("a.pie"), before + "LENGTH=1000\r\n");
    EXPECT_EQ(pie.GetString("SITE1", "NAME", ""), "Участок");
    EXPECT_EQ(profile::ToUtf8("\x98"), "\xEF\xBF\xBD") << "the unassigned byte";
}

TEST(PrivateProfileEncoding, EachLineDecidesItsEncodingAndUnchangedLinesKeepTheirBytes)
{
    TempDir dir;
    // UTF-8 lines, one Windows-1251 line ("Ж") in another section, a section
    // name in Windows-1251 ("Сеть"), mixed line endings, no final newline.
    const std::string before = "[KLM-204]\n"
                               "OPEN=/tmp/Папка/\r\n"
                               "NAME=Трасса №2\n"
                               "\n"
                               "[Other]\n"
                               "Y=\xC6\n"
                               "[\xD1\xE5\xF2\xFC]\r\n"
                               "K=\xC6 x";
    dir.WriteFile("param.ini", before);
    PrivateProfile ini(dir / "param.ini");
    EXPECT_EQ(ini.GetString("KLM-204", "OPEN", ""), "/tmp/Папка/");
    EXPECT_EQ(ini.GetPath("KLM-204", "OPEN", ""), "/tmp/Папка/");
    EXPECT_EQ(ini.GetString("KLM-204", "NAME", ""), "Трасса №2");
    EXPECT_EQ(ini.GetString("Other", "Y", ""), "Ж");
    EXPECT_EQ(ini.GetString("Сеть", "K", ""), "Ж x");

    // A changed value and a new key: every other byte stays.
    ASSERT_TRUE(ini.WriteString("KLM-204", "NAME", "Трасса №3"));
    ASSERT_TRUE(ini.WriteString("Сеть", "L", "1"));
    std::string expected = before;
    expected.replace(expected.find("Трасса №2"), std::string("Трасса №2").size(), "Трасса №3");
    EXPECT_EQ(dir.ReadFile("param.ini"), expected + "\nL=1\n")
        << "the last line gets the ending most lines have before the new one";
    EXPECT_EQ(ini.GetString("KLM-204", "OPEN", ""), "/tmp/Папка/");

    // A UTF-8 name matches on a line whose value is not UTF-8, and that value
    // reads as Windows-1251 text but as its own bytes for a path.
    ASSERT_TRUE(ini.WriteString("Другое", "Ключ", "\xC6"));
    EXPECT_EQ(ini.GetString("Другое", "Ключ", ""), "Ж");
    EXPECT_EQ(ini.GetPath("Другое", "Ключ", ""), "\xC6");
}

TEST(PrivateProfilePaths, BytesThatAreNotUtf8RoundTripExactly)
{
    TempDir dir;
    const fs::path file = dir / "param.ini";
    PrivateProfile ini(file);
    const std::string folder = dir.Folder() + "bad\xFF\xFE name/";
    ASSERT_TRUE(ini.WritePath("KLM-204", "OPEN", folder));
    EXPECT_EQ(ini.GetPath("KLM-204", "OPEN", ""), folder) << "whether or not the folder exists";
    fs::create_directory(folder);
    EXPECT_EQ(ini.GetPath("KLM-204", "OPEN", ""), folder);
    EXPECT_EQ(dir.ReadFile("param.ini"), "[KLM-204]\nOPEN=" + folder + "\n");

    // Ends that the reader would trim are kept by quoting; a line break cannot be held.
    for (const std::string path : {" /lead", "/trail\t", "\"/quoted\"", "'/q'", "/in \"middle\"", ""}) {
        ASSERT_TRUE(ini.WritePath("KLM-204", "OPEN", path)) << path;
        EXPECT_EQ(ini.GetPath("KLM-204", "OPEN", "?"), path) << path;
    }
    const std::string kept = dir.ReadFile("param.ini");
    EXPECT_FALSE(ini.WritePath("KLM-204", "OPEN", "/a\nb"));
    EXPECT_FALSE(ini.WritePath("KLM-204", "OPEN", "/a\rb"));
    EXPECT_EQ(dir.ReadFile("param.ini"), kept);
}

TEST(PrivateProfilePaths, HandEditedWindows1251PathFindsTheFolderByEitherName)
{
    TempDir dir;
    // "Волны" in Windows-1251, as an editor in that encoding saves it.
    const std::string cp1251 = "\xC2\xEE\xEB\xED\xFB";
    dir.WriteFile("param.ini", "[KLM-204]\nOPEN=" + dir.Folder() + cp1251 + "/\n");
    PrivateProfile ini(dir / "param.ini");
    EXPECT_EQ(ini.GetPath("KLM-204", "OPEN", ""), dir.Folder() + cp1251 + "/") << "nothing exists: the bytes";

    fs::create_directory(dir / "Волны");
    EXPECT_EQ(ini.GetPath("KLM-204", "OPEN", ""), dir.Folder() + "Волны/") << "the folder named in UTF-8";

    fs::create_directory(dir / cp1251);
    EXPECT_EQ(ini.GetPath("KLM-204", "OPEN", ""), dir.Folder() + cp1251 + "/") << "the folder of those very bytes";
}

TEST(PrivateProfileUpdate, SeveralKeysInOneWriteWithTheRulesOfSingleWrites)
{
    TempDir dir;
    const std::string before = "; kept\r\n[KLM-204]\r\nSCALE=3\r\nOPEN=/x/\r\n\r\n[Other]\r\nSCALE=9\r\n";
    dir.WriteFile("param.ini", before);
    PrivateProfile ini(dir / "param.ini");
    ASSERT_TRUE(ini.Update([](ProfileText& text) {
        EXPECT_TRUE(text.Set("KLM-204", "SCALE", "4"));
        EXPECT_TRUE(text.Set("KLM-204", "GAIN", "2"));
        EXPECT_TRUE(text.SetPath("New", "OPEN", "/y\xFF/"));
    }));
    EXPECT_EQ(dir.ReadFile("param.ini"), "; kept\r\n[KLM-204]\r\nSCALE=4\r\nOPEN=/x/\r\nGAIN=2\r\n\r\n[Other]\r\n"
                                         "SCALE=9\r\n\r\n[New]\r\nOPEN=/y\xFF/\r\n");

    // A refused name is reported; the keys that could be set are written.
    EXPECT_FALSE(ini.Update([](ProfileText& text) {
        EXPECT_FALSE(text.Set("KLM-204", "A=B", "1"));
        EXPECT_TRUE(text.Set("KLM-204", "GAIN", "5"));
    }));
    EXPECT_EQ(ini.GetInt("KLM-204", "GAIN", 0), 5);
    EXPECT_EQ(ini.GetString("KLM-204", "A", "none"), "none");

    // A file that cannot be read is not replaced, and nothing is written.
    fs::create_directory(dir / "folder.ini");
    EXPECT_FALSE(PrivateProfile(dir / "folder.ini").Update([](ProfileText& text) { text.Set("S", "A", "1"); }));
    EXPECT_TRUE(fs::is_directory(dir / "folder.ini"));

    // Reads from one loaded text follow GetInt/GetString.
    const ProfileText text = ini.Load();
    EXPECT_EQ(text.GetInt("klm-204", "scale", 0), 4);
    EXPECT_EQ(text.GetString("KLM-204", "OPEN", ""), "/x/");
    EXPECT_EQ(text.GetInt("KLM-204", "MISSING", -3), -3);
}

TEST(PrivateProfileEncoding, ByteOrderMarks)
{
    TempDir dir;
    // "[S]\r\nN=Уч\r\n" in UTF-16LE with its mark.
    dir.WriteFile("le.ini", Bytes("\xFF\xFE[\0S\0]\0\r\0\n\0N\0=\0\x23\x04\x47\x04\r\0\n\0"));
    EXPECT_EQ(PrivateProfile(dir / "le.ini").GetString("S", "N", ""), "Уч");
    dir.WriteFile("be.ini", Bytes("\xFE\xFF\0[\0S\0]\0\n\0N\0=\x04\x23"));
    EXPECT_EQ(PrivateProfile(dir / "be.ini").GetString("S", "N", ""), "У");

    // A UTF-8 mark is kept when the file is rewritten.
    dir.WriteFile("bom.ini", "\xEF\xBB\xBF[S]\nA=1\n");
    PrivateProfile bom(dir / "bom.ini");
    EXPECT_EQ(bom.GetInt("S", "A", 0), 1);
    ASSERT_TRUE(bom.WriteString("S", "A", "2"));
    EXPECT_EQ(dir.ReadFile("bom.ini"), "\xEF\xBB\xBF[S]\nA=2\n");

    // Damaged UTF-16: a lone surrogate, a pair, an odd last byte.
    EXPECT_EQ(profile::ToUtf8(Bytes("\xFF\xFE\x00\xD8x\0\x3D\xD8\x00\xDE!")),
              "\xEF\xBF\xBDx\xF0\x9F\x98\x80\xEF\xBF\xBD");
    // Overlong and surrogate forms are not UTF-8, so the bytes are read as Windows-1251.
    EXPECT_EQ(profile::ToUtf8("\xC0\xAF"), "АЇ");
    EXPECT_EQ(profile::ToUtf8("\xED\xA0\x80"), "н\u00A0Ђ");
}

TEST(ProfileText, SerialiseOfParseKeepsBytes)
{
    for (const std::string text : {"", "\n", "a", "a\n\n", "[S]\r\nk=v", "x\r\ny\r\n", "\xEF\xBB\xBF[S]\n",
                                   "a\r\nb\nc\r\n", "\xEF\xBB\xBF\xEF\xBB\xBFx\n", "[\xFF]\nk=\xC6\r\nv=\xD0\n\r\r\n"})
        EXPECT_EQ(ProfileText::Parse(text).Serialise(), text) << text;
}
