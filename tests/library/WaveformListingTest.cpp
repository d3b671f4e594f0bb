#include "library/core/WaveformListing.h"
#include "library/core/TdrFolder.h"
#include "model/FileTime.h"
#include "model/Format.h"
#include "support/TdrBytes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <numeric>
#include <optional>
#include <sys/stat.h>

namespace {

// Moscow time (UTC+3, no daylight saving) while the object lives.
struct MoscowTime
{
    MoscowTime()
    {
        const char* old = std::getenv("TZ");
        m_old = old ? std::optional<std::string>(old) : std::nullopt;
        ::setenv("TZ", "MSK-3", 1);
        ::tzset();
    }
    ~MoscowTime()
    {
        m_old ? ::setenv("TZ", m_old->c_str(), 1) : ::unsetenv("TZ");
        ::tzset();
    }
    std::optional<std::string> m_old;
};

std::vector<std::string> Names(const std::vector<WaveformListing>& rows)
{
    std::vector<std::string> names;
    for (const WaveformListing& row : rows) {
        names.push_back(row.m_strName);
    }
    return names;
}

TEST(WaveformListing, ListsWholeWaveformFilesInCaseInsensitiveOrder)
{
    TempDir dir;
    const std::string wave = TdrBytes().Bytes();
    for (const char* name : {"a.tdr", "a.b.tdr", "X.TDR", "Zeta.Tdr", "alpha.tdr", "ALPHA.tdr", "Яма.tdr",
                             "юг.tdr", "ёлка.tdr", "tdr", ".tdr", "wave.txt"}) {
        dir.WriteFile(name, wave);
    }
    dir.WriteFile("b.tdr", std::string(100, '\0'));
    dir.WriteFile("long.tdr", wave + "x");
    dir.WriteFile("bad.tdr", TdrBytes().Word(2, 12).Bytes()); // scale index out of range
    std::filesystem::create_directory(dir / "folder.tdr");
    ::mkfifo((dir / "pipe.tdr").c_str(), 0644);
    std::filesystem::create_symlink(dir / "a.tdr", dir / "linked.tdr");
    std::filesystem::create_symlink(dir / "gone", dir / "dangling.tdr");

    const std::vector<WaveformListing> rows = ListWaveformFolder(dir.Folder());
    // Letters compare as capitals (Cyrillic ё, ю, я too); names equal but for
    // case keep byte order; "a.b.tdr" comes before "a.tdr" as 'B' < 'T'.
    const std::vector<std::string> expected = {"a.b", "a",    "ALPHA", "alpha", "linked",
                                               "X",   "Zeta", "ёлка",  "юг",    "Яма"};
    ASSERT_EQ(Names(rows), expected);
    EXPECT_EQ(rows[5].m_strFileName, "X.TDR");

    EXPECT_TRUE(ListWaveformFolder(dir / "missing").empty());
    EXPECT_TRUE(ListWaveformFolder(dir / "a.tdr").empty()) << "a file is not a folder";
}

TEST(WaveformListing, NamesThatAreNotUtf8AreListedReadablyAndLoadByTheirBytes)
{
    TempDir dir;
    dir.WriteFile("bad\xFF.tdr", TdrBytes().Word(4, 5).Bytes());
    dir.WriteFile("bad\xD1\x8F.tdr", TdrBytes().Word(4, 6).Bytes()); // "badя" in UTF-8, shown alike
    const std::vector<WaveformListing> rows = ListWaveformFolder(dir.Path());
    ASSERT_EQ(rows.size(), 2u);
    for (const WaveformListing& row : rows) {
        EXPECT_EQ(row.m_strName, "badя");
        EXPECT_EQ(WaveListCells(row, false)[1], "badя");
    }
    // Byte order after folding: 0xD1 comes before 0xFF.
    EXPECT_EQ(rows[0].m_strFileName, "bad\xD1\x8F.tdr");
    EXPECT_EQ(rows[1].m_strFileName, "bad\xFF.tdr");

    WaveformRecord record;
    ASSERT_TRUE(LoadListedWaveform(record, dir.Path(), WaveformNameOf(rows[1].m_strFileName)));
    EXPECT_EQ(record.m_nGain, 5) << "the file of those bytes, not the one of the readable name";
    EXPECT_EQ(record.m_strName, "badя");
    ASSERT_TRUE(LoadListedWaveform(record, dir.Path(), WaveformNameOf(rows[0].m_strFileName)));
    EXPECT_EQ(record.m_nGain, 6);
    // The replacement character a trip through text would leave finds nothing.
    EXPECT_FALSE(LoadListedWaveform(record, dir.Path(), "bad\xEF\xBF\xBD"));
}

TEST(WaveformListing, HeadersThatDoNotDecodeAreLeftOut)
{
    TempDir dir;
    dir.WriteFile("good.tdr", TdrBytes().Word(1, 11).Word(2, 11).Word(3, 30).Bytes());
    dir.WriteFile("pulse12.tdr", TdrBytes().Word(1, 12).Bytes());
    dir.WriteFile("scaleneg.tdr", TdrBytes().Word(2, -1).Bytes());
    dir.WriteFile("average31.tdr", TdrBytes().Word(3, 31).Bytes());
    dir.WriteFile("odd.tdr", TdrBytes().Word(0, -1).Word(7, -1).Word(11, -1).Sample(0, 0x80).Bytes());
    EXPECT_EQ(Names(ListWaveformFolder(dir.Path())), (std::vector<std::string>{"good", "odd"}));
}

TEST(WaveformListing, CellsShowTheHeaderAndTheFileTime)
{
    MoscowTime zone;
    TempDir dir;
    dir.WriteFile("w.tdr", TdrBytes()
                               .Word(1, 3)    // pulse 100 ns
                               .Word(2, 0)    // scale 62.5 m
                               .Word(3, 4)    // 16 averages
                               .Word(4, -7)   // gain
                               .Word(5, 75)   // impedance
                               .Word(6, 1500) // PR 1.5, V/2 100
                               .Word(8, 3)    // delay 15
                               .Word(9, 0)    // threshold 60
                               .Word(10, 73)  // pulse method
                               .Bytes());
    // 2013-03-06 22:15:09 UTC is 01:15:09 the next day in Moscow.
    const timespec times[2] = {{1362608109, 0}, {1362608109, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (dir / "w.tdr").c_str(), times, 0), 0);

    const std::vector<WaveformListing> rows = ListWaveformFolder(dir.Path());
    ASSERT_EQ(rows.size(), 1u);
    std::array<std::string, kWaveListColumns> cells = {" ",     "w",  "62.5", "100",        "100.0",
                                                       "16",    "-7", "75",   " ",          " ",
                                                       "pulse", "60", "15.0", "07.03.2013", "01:15:09"};
    EXPECT_EQ(WaveListCells(rows[0], true), cells);
    cells[4] = "1.500";
    EXPECT_EQ(WaveListCells(rows[0], false), cells);

    const auto headings = WaveListHeadings(true);
    EXPECT_EQ(headings[4], "V/2");
    EXPECT_EQ(WaveListHeadings(false)[4], "PR");
    EXPECT_EQ(headings[8], "\u041C1") << "marker headings begin with a Cyrillic Em";
    EXPECT_EQ(headings[9], "\u041C2");
}

TEST(WaveformListing, CellFormatsAcrossTheirRanges)
{
    MoscowTime zone;
    WaveformListing row;
    const auto cellsOf = [&](const TdrBytes& bytes, bool halfVelocity) {
        row.m_header = *DecodeTdrHeader(bytes.Span());
        return WaveListCells(row, halfVelocity);
    };
    auto cells =
        cellsOf(TdrBytes().Word(1, 11).Word(2, 11).Word(3, 0).Word(6, 1234).Word(8, -1).Word(9, -70), false);
    EXPECT_EQ(cells[2], "128000.0");
    EXPECT_EQ(cells[3], "50000");
    EXPECT_EQ(cells[4], "1.234");
    EXPECT_EQ(cells[5], "1");
    EXPECT_EQ(cells[11], "-10");
    EXPECT_EQ(cells[12], "-5.0");
    EXPECT_EQ(cellsOf(TdrBytes().Word(6, 1234), true)[4], "121.6");
    for (const auto& [code, text] : std::vector<std::pair<int, std::string>>{
             {68, "arc"}, {73, "pulse"}, {75, "ware"}, {0, ""}, {'d', ""}}) {
        EXPECT_EQ(cellsOf(TdrBytes().Word(10, code), false)[10], text) << code;
    }
    // New Year in Moscow: 2024-12-31 21:00:00 UTC.
    row.m_ftTime = LocalFileTimeFromUnix(1735678800, 0);
    cells = WaveListCells(row, false);
    EXPECT_EQ(cells[13], "01.01.2025");
    EXPECT_EQ(cells[14], "00:00:00");
}

TEST(WaveformListing, CellNumbersRoundAsPrintfDoes)
{
    WaveformListing row;
    TdrHeader& h = row.m_header;
    // Exact binary ties round to even; near-ties that are not exact go by
    // their true value; small negatives keep their sign.
    const std::vector<std::pair<double, std::string>> oneDigit = {
        {0.25, "0.2"},  {0.75, "0.8"},   {0.35, "0.3"}, {-0.04, "-0.0"},   {-0.0, "-0.0"},
        {99.95, "100.0"}, {62.5, "62.5"}, {-2.25, "-2.2"}, {1e13 + 0.25, "10000000000000.2"}};
    for (const auto& [value, text] : oneDigit) {
        h.m_dScale = value;
        EXPECT_EQ(WaveListCells(row, false)[2], text) << value;
    }
    h.m_dPulse = 2.5;
    EXPECT_EQ(WaveListCells(row, false)[3], "2");
    h.m_dFileFactor = 1.0005; // just below the tie in binary
    EXPECT_EQ(WaveListCells(row, false)[4], "1.000");
    h.m_dFileFactor = 0.0005; // just above it
    EXPECT_EQ(WaveListCells(row, false)[4], "0.001");

    // Every numeric cell agrees with FormatFixed, ties, infinities and NaN included.
    std::vector<double> values = {0.0,  -0.0, 0.5,  1.5,   -1.5, 0.125, 0.0625, 1e-9, 1e11 + 0.5, 0x1p40, 0x1p40 - 0.5,
                                  1e300, std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                                  std::nan("")};
    uint64_t state = 88172645463325252ull;
    for (int n = 0; n < 20000; ++n) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        const double unit = static_cast<double>(state >> 11) / 0x1p53;
        const int magnitude = static_cast<int>(state % 13) - 4;
        values.push_back((n % 2 ? -1 : 1) * unit * std::pow(10.0, magnitude));
        values.push_back(std::round(unit * 2e6) / 2000.0); // many exact and near ties
    }
    for (const double value : values) {
        h.m_dScale = value;
        h.m_dPulse = value;
        h.m_dFileFactor = value;
        h.m_dDelay = value;
        const auto cells = WaveListCells(row, false);
        ASSERT_EQ(cells[2], FormatFixed(value, 1)) << value;
        ASSERT_EQ(cells[3], FormatFixed(value, 0)) << value;
        ASSERT_EQ(cells[4], FormatFixed(value, 3)) << value;
        ASSERT_EQ(cells[12], FormatFixed(value, 1)) << value;
        ASSERT_EQ(WaveListCells(row, true)[4], FormatFixed(300.0 / (2 * value), 1)) << value;
    }
}

TEST(WaveformListing, DatesOfEveryYearWidth)
{
    MoscowTime zone;
    WaveformListing row;
    // 1601-01-01 00:00:00 local, the first file time.
    row.m_ftTime = 0;
    auto cells = WaveListCells(row, false);
    EXPECT_EQ(cells[13], "01.01.1601");
    EXPECT_EQ(cells[14], "00:00:00");
    // 9999-12-31 23:59:59 and one second later, when the year takes five digits.
    const int64_t end9999 = (253402300799LL + kFileTimeEpochOffset) * 10'000'000;
    row.m_ftTime = end9999;
    cells = WaveListCells(row, false);
    EXPECT_EQ(cells[13], "31.12.9999");
    EXPECT_EQ(cells[14], "23:59:59");
    row.m_ftTime = end9999 + 10'000'000;
    EXPECT_EQ(WaveListCells(row, false)[13], "01.01.10000");
    EXPECT_EQ(WaveListDateText(row.m_ftTime), "01.01.10000");
    // Before 1601: the year in three digits.
    row.m_ftTime = -10'000'000LL * 86400 * 366;
    EXPECT_EQ(WaveListCells(row, false)[13], "01.01.1600");
    row.m_ftTime = -10'000'000LL * 86400 * 255500;
    EXPECT_EQ(WaveListCells(row, false)[13], "20.06.901") << "a year below 1000 in three digits";
}

TEST(WaveformListing, LargeFoldersListEveryFileWithItsOwnHeader)
{
    // Enough files for the listing to share them out between threads; the
    // gain word numbers each file, so a row given another file's header shows.
    TempDir dir;
    constexpr int kFiles = 1500;
    std::vector<std::string> expected;
    for (int n = 0; n < kFiles; ++n) {
        const std::string name = "w" + std::to_string(n * 7919 % kFiles);
        if (n % 100 == 7) {
            dir.WriteFile(name + ".tdr", TdrBytes().Word(2, 12).Bytes()); // does not decode
            continue;
        }
        dir.WriteFile(name + (n % 2 ? ".tdr" : ".TDR"), TdrBytes().Word(4, n * 7919 % kFiles).Bytes());
        expected.push_back(name);
    }
    dir.WriteFile("short.tdr", std::string(44, '\0'));
    std::sort(expected.begin(), expected.end(), [](const std::string& a, const std::string& b) {
        return NameOrderLess(a, b);
    });
    const std::vector<WaveformListing> rows = ListWaveformFolder(dir.Path());
    ASSERT_EQ(Names(rows), expected);
    for (const WaveformListing& row : rows) {
        ASSERT_EQ("w" + std::to_string(row.m_header.m_nGain), row.m_strName);
    }
}

TEST(WaveformListing, ColumnWidthRules)
{
    const std::array<int, kWaveListColumns> resize = {20, 240, 60, 60, 60, 60, 60, 80,
                                                      0,  0,   60, 60, 60, 80, 60};
    EXPECT_EQ(WaveListResizeWidths(1000, 0, false), resize);
    // Markers widen their columns to 80 and take 160 from the name; a scroll bar takes its thickness.
    const auto marked = WaveListResizeWidths(1000, 17, true);
    EXPECT_EQ(marked[1], 63);
    EXPECT_EQ(marked[8] + marked[9], 160);
    // First layout and the markers toggle: method, threshold and delay at 40.
    const auto layout = WaveListLayoutWidths(1000, 0, false);
    EXPECT_EQ(layout[1], 240);
    EXPECT_EQ(layout[10] + layout[11] + layout[12], 120);
    for (bool markers : {false, true}) {
        const auto r = WaveListResizeWidths(1600, 0, markers);
        const auto l = WaveListLayoutWidths(1600, 0, markers);
        EXPECT_EQ(std::accumulate(r.begin(), r.end(), 0), 1560);
        EXPECT_EQ(std::accumulate(l.begin(), l.end(), 0), 1500);
    }
    EXPECT_EQ(WaveListResizeWidths(500, 17, true)[1], 0) << "never negative";
}

TEST(WaveformName, ExtensionFoldingAndOrder)
{
    EXPECT_TRUE(HasTdrExtension("A.TdR"));
    EXPECT_FALSE(HasTdrExtension(".tdr"));
    EXPECT_FALSE(HasTdrExtension("a.tdr.bak"));
    EXPECT_EQ(WaveformNameOf("a.b.TDR"), "a.b");

    EXPECT_EQ(FoldedName("abz_AZ09"), "ABZ_AZ09");
    EXPECT_EQ(FoldedName("абвпрсяёђџАЯЁ"), "АБВПРСЯЁЂЏАЯЁ");
    // Bytes that are not valid UTF-8 stay as they are.
    EXPECT_EQ(FoldedName("\xD0"), "\xD0");
    EXPECT_EQ(FoldedName("\xD1z\xE2\x80\x94"), "\xD1Z\xE2\x80\x94");

    // Capitals put '_' after the letters, as a case-insensitive file system does.
    EXPECT_TRUE(NameOrderLess("ab.tdr", "a_b.tdr"));
    EXPECT_TRUE(NameOrderLess("a", "B"));
    EXPECT_TRUE(NameOrderLess("B.tdr", "b.tdr"));
    EXPECT_FALSE(NameOrderLess("x", "x"));

    // The bulk sort agrees with the pairwise order on shared prefixes, case
    // variants and names ending inside or beyond its 8-byte prefix.
    std::vector<std::string> names = {
        "wave0001.tdr", "WAVE0001.tdr", "wave00010.tdr", "wave0001", "wave000", "a",  "A",  "",
        "abcdefgh",     "ABCDEFGHI",    "abcdefgh_",     "Яма",      "ЯМА2",    "ёж", "Ёж", "еж"};
    for (int n = 0; n < 200; ++n) {
        names.push_back((n % 3 ? "Wave" : "wAVE") + std::to_string(n * 7919 % 1000) +
                        (n % 2 ? ".tdr" : ".TDR"));
    }
    NameOrderSort sort;
    for (const std::string& name : names) {
        sort.Add(name);
    }
    std::vector<std::string> bulk;
    for (const uint32_t index : sort.Order()) {
        bulk.push_back(names[index]);
    }
    std::sort(names.begin(), names.end(), [](const auto& a, const auto& b) { return NameOrderLess(a, b); });
    EXPECT_EQ(bulk, names);
}

TEST(LoadListedWaveform, FindsTheFileWhateverTheCaseOfItsExtension)
{
    TempDir dir;
    dir.WriteFile("X.TDR", TdrBytes().Word(2, 6).Sample(7, 0x80).Bytes());
    dir.WriteFile("short.Tdr", TdrBytes().Bytes().substr(1));
    dir.WriteFile("bad.TDR", TdrBytes().Word(2, 12).Bytes());
    WaveformRecord record;
    record.m_dMarker1 = 9;
    ASSERT_TRUE(LoadListedWaveform(record, dir.Folder(), "X"));
    EXPECT_DOUBLE_EQ(record.m_dScale, 4000);
    EXPECT_EQ(record.m_samples[7], -128);
    EXPECT_EQ(record.m_dMarker1, 0);
    EXPECT_EQ(record.m_ftTime, LastWriteLocalFileTime(dir / "X.TDR").value_or(-1));

    // Failures take the name and keep the waveform.
    for (const char* name : {"missing", "short", "bad", "X.T"}) {
        EXPECT_FALSE(LoadListedWaveform(record, dir.Folder(), name)) << name;
        EXPECT_EQ(record.m_strName, name);
        EXPECT_DOUBLE_EQ(record.m_dScale, 4000) << name;
    }

    // "<name>.tdr" wins over other spellings of the extension.
    dir.WriteFile("X.tdr", TdrBytes().Word(2, 0).Bytes());
    ASSERT_TRUE(LoadListedWaveform(record, dir.Folder(), "X"));
    EXPECT_DOUBLE_EQ(record.m_dScale, 62.5);
}

} // namespace
