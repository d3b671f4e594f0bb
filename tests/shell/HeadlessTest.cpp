#include "shell/Headless.h"
#include "support/TdrBytes.h"
#include "support/TempDir.h"

#include <QColor>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// A waveform of the given scale index and recorded PR (thousandths) whose
// samples stand at a level the plot shows as a flat red line.
std::string Waveform(int scaleIndex, int factorThousandths, uint8_t level = 60)
{
    TdrBytes bytes;
    bytes.Word(1, scaleIndex).Word(2, scaleIndex).Word(3, 2).Word(5, 100).Word(6, factorThousandths).Word(10, 73);
    for (std::size_t i = 0; i < kTdrSampleCount; ++i) {
        bytes.Sample(i, level);
    }
    return bytes.Bytes();
}

// An open end at 500 m of position (sample 4000) on a 1 km waveform recorded at PR 2.
std::string OpenEndWaveform(int factorThousandths = 2000)
{
    TdrBytes bytes;
    bytes.Word(1, 2).Word(2, 4).Word(3, 4).Word(5, 100).Word(6, factorThousandths).Word(10, 73);
    for (std::size_t k = 0; k < 40; ++k) {
        bytes.Sample(k, 100);
    }
    // A 50 ns pulse spans 40 samples; the echo's edges are half-way at 4000 and 4040.
    for (std::size_t k = 4001; k < 4040; ++k) {
        bytes.Sample(k, 50);
    }
    bytes.Sample(4000, 25).Sample(4040, 25);
    return bytes.Bytes();
}

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv
{
public:
    ScopedEnv(const char* name, const std::string& value)
        : m_name(name)
    {
        if (const char* old = std::getenv(name)) {
            m_old = old;
        }
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        if (m_old) {
            ::setenv(m_name, m_old->c_str(), 1);
        } else {
            ::unsetenv(m_name);
        }
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

class Headless : public ::testing::Test
{
protected:
    Headless()
        : tmp("TMPDIR", scratch.Path().string())
    {
        waves.WriteFile("alpha.tdr", Waveform(4, 1465));
        waves.WriteFile("beta.TDR", Waveform(2, 1500, 20));
        waves.WriteFile("small.tdr", std::string(100, '\0'));
    }
    ~Headless() override
    {
        // Every run removes its temporary folder.
        for (const auto& entry : fs::directory_iterator(scratch.Path())) {
            EXPECT_EQ(entry.path().filename().string().rfind("ondalis-run-", 0), std::string::npos)
                << entry.path();
        }
    }

    int Run(const std::vector<std::string>& args, bool progress = false)
    {
        std::ostringstream o;
        std::ostringstream e;
        const int code = RunHeadless(args, o, e, progress);
        out = o.str();
        err = e.str();
        return code;
    }
    std::string Wave(const char* name) const { return (waves / name).string(); }
    std::string Out(const char* name) const { return (output / name).string(); }

    // The PDF's text with runs of blanks squeezed to one.
    static std::string PdfText(const std::string& path)
    {
        QProcess process;
        process.start("pdftotext", {"-layout", QString::fromStdString(path), "-"});
        if (!process.waitForFinished(20000)) {
            return std::string();
        }
        return QString::fromUtf8(process.readAllStandardOutput())
            .replace(QRegularExpression("[ \t]+"), " ")
            .toStdString();
    }

    static int PixelsOf(const QImage& image, QColor colour)
    {
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                count += image.pixelColor(x, y) == colour ? 1 : 0;
            }
        }
        return count;
    }

    TempDir scratch; // the runs' temporary folders go here
    ScopedEnv tmp;
    TempDir waves;
    TempDir output;
    std::string out;
    std::string err;
};

TEST_F(Headless, ListPrintsThePanelsCells)
{
    ASSERT_EQ(Run({"--list", waves.Folder()}), kExitOk) << err;
    std::istringstream lines(out);
    std::vector<std::vector<std::string>> rows;
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> cells;
        std::istringstream split(line);
        for (std::string cell; std::getline(split, cell, '\t');) {
            cells.push_back(cell);
        }
        rows.push_back(cells);
    }
    ASSERT_EQ(rows.size(), 2u); // the 100-byte file is no waveform
    ASSERT_EQ(rows[0].size(), 15u);
    EXPECT_EQ(rows[0][1], "alpha");
    EXPECT_EQ(rows[0][2], "1000.0");
    EXPECT_EQ(rows[0][3], "200");
    EXPECT_EQ(rows[0][4], "1.465"); // PR, not V/2
    EXPECT_EQ(rows[0][10], "pulse");
    EXPECT_EQ(rows[1][1], "beta");
    EXPECT_EQ(rows[1][2], "250.0");

    waves.WriteFile("c,d.tdr", Waveform(0, 1500));
    ASSERT_EQ(Run({"--list", waves.Folder(), "--csv"}), kExitOk) << err;
    EXPECT_EQ(out.substr(0, out.find('\n')),
              " ,Waveform name,Scale,Pulse,PR,Average,Gain,Impedance,М1,М2,Method,Threshold,Delay,Data,Time");
    EXPECT_NE(out.find("\n ,alpha,1000.0,200,1.465,"), std::string::npos);
    EXPECT_NE(out.find("\n ,\"c,d\",62.5,"), std::string::npos);

    EXPECT_EQ(Run({"--list", Wave("nothing")}), kExitFailed);
    EXPECT_NE(err.find(Wave("nothing")), std::string::npos);
    EXPECT_EQ(out, "");
}

TEST_F(Headless, ExportTextNamesWhatFailed)
{
    fs::create_directory(waves / "beta.txt"); // a folder where beta's export must go
    EXPECT_EQ(Run({"--export-text", waves.Folder()}), kExitFailed);
    EXPECT_EQ(waves.ReadFile("alpha.txt").substr(0, 8), "60\r\n60\r\n");
    EXPECT_EQ(out, "alpha.txt\n");
    EXPECT_NE(err.find("beta.TDR"), std::string::npos);
    EXPECT_EQ(err.find("Writing"), std::string::npos); // no progress unless on a terminal

    fs::remove(waves / "beta.txt");
    EXPECT_EQ(Run({"--export-text", waves.Folder()}, true), kExitOk);
    EXPECT_NE(err.find("2 of 2"), std::string::npos);
    EXPECT_EQ(waves.ReadFile("beta.txt").size(), 8000u * 4);
}

// A file name that is not UTF-8: listed readably, exported and loaded by its bytes.
TEST_F(Headless, NamesThatAreNotUtf8)
{
    waves.WriteFile("bad\xFF.tdr", TdrBytes().Word(4, 9).Bytes());
    ASSERT_EQ(Run({"--list", waves.Folder()}), kExitOk) << err;
    EXPECT_NE(out.find("\tbadя\t"), std::string::npos) << out;
    EXPECT_EQ(out.find("bad\xFF"), std::string::npos) << "raw bytes are not shown";

    ASSERT_EQ(Run({"--export-text", waves.Folder()}), kExitOk) << err;
    EXPECT_EQ(waves.ReadFile("bad\xFF.txt").size(), 8000u * 3);

    const std::string pdf = Out("bad.pdf");
    ASSERT_EQ(Run({"--report", pdf, Wave("bad\xFF.tdr")}), kExitOk) << err;
    EXPECT_NE(PdfText(pdf).find("badя"), std::string::npos) << PdfText(pdf);

    // The outputs are written under the very bytes given.
    fs::remove(pdf);
    ASSERT_EQ(Run({"--png", Out("pic\xFF.png"), Wave("alpha.tdr")}), kExitOk) << err;
    ASSERT_EQ(Run({"--report", Out("rep\xFF.pdf"), Wave("alpha.tdr")}), kExitOk) << err;
    std::vector<std::string> written;
    for (const auto& entry : fs::directory_iterator(output.Path())) {
        written.push_back(entry.path().filename().string());
    }
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, (std::vector<std::string>{"pic\xFF.png", "rep\xFF.pdf"}));
}

// Control bytes in names reach the terminal as '?', so they can neither command
// it nor split a line.
TEST_F(Headless, ControlBytesInNamesShowAsQuestionMarks)
{
    const std::string name = "x\x1B[2J\x7F\n \x1F";
    waves.WriteFile(name + ".tdr", OpenEndWaveform());
    ASSERT_EQ(Run({"--list", waves.Folder(), "--csv"}), kExitOk) << err;
    EXPECT_NE(out.find("\n ,x?[2J?? ?,1000.0,"), std::string::npos) << out;
    ASSERT_EQ(Run({"--export-text", waves.Folder()}), kExitOk) << err;
    EXPECT_EQ(out, "alpha.txt\nbeta.txt\nx?[2J?? ?.txt\n");
    EXPECT_EQ(Run({"--events", Wave((name + ".tdr").c_str()), Wave("gone\x1B.tdr")}), kExitFailed);
    EXPECT_NE(out.find("\n" + (waves / "x?[2J?? ?.tdr").string() + "\t1\t375.000\t"), std::string::npos) << out;
    EXPECT_NE(err.find("gone?.tdr: no such file\n"), std::string::npos) << err;
}

// A folder that cannot be read is a failure, not an empty listing.
TEST_F(Headless, AnUnreadableFolderFails)
{
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind the superuser";
    }
    TempDir locked;
    locked.WriteFile("a.tdr", Waveform(4, 1465));
    // Names unreadable, or names readable but the files out of reach.
    for (const fs::perms perms : {fs::perms::none, fs::perms::owner_read}) {
        fs::permissions(locked.Path(), perms);
        for (const char* run : {"--list", "--export-text"}) {
            EXPECT_EQ(Run({run, locked.Folder()}), kExitFailed) << run;
            EXPECT_EQ(out, "") << run;
            EXPECT_EQ(err, "ondalis: cannot read the folder " + locked.Folder() + ": Permission denied\n") << run;
        }
    }
}

TEST_F(Headless, ReportHoldsTheParameters)
{
    const std::string pdf = Out("r.pdf");
    ASSERT_EQ(Run({"--report", pdf, "--c1", "100", "--c2", "350", Wave("alpha.tdr"), Wave("beta.TDR")}), kExitOk)
        << err;
    std::string text = PdfText(pdf);
    EXPECT_NE(text.find("Ondalis 5.0"), std::string::npos) << text;
    EXPECT_NE(text.find("PR 1.465"), std::string::npos) << text; // M1's factor
    EXPECT_NE(text.find("Zoom 1"), std::string::npos) << text;
    // The cursors sit on the plot's columns (2 m of position on 1 km).
    EXPECT_NE(text.find("C1 100.3413 m"), std::string::npos) << text;
    EXPECT_NE(text.find("C2 350.1706 m"), std::string::npos) << text;
    EXPECT_NE(text.find("alpha"), std::string::npos) << text;
    EXPECT_NE(text.find("beta"), std::string::npos) << text;
    QProcess info;
    info.start("pdfinfo", {QString::fromStdString(pdf)});
    ASSERT_TRUE(info.waitForFinished(20000));
    const QString pages = QString::fromUtf8(info.readAllStandardOutput());
    EXPECT_TRUE(pages.contains(QRegularExpression("Pages:\\s+1\\n"))) << pages.toStdString();
    EXPECT_TRUE(pages.contains("(A4)")) << pages.toStdString();

    // Scale, zoom around a centre and V/2 from the options: 4 km at zoom 4
    // shows 250 m from 900 m on.
    ASSERT_EQ(Run({"--report", pdf, "--scale", "4", "--zoom", "16", "--centre", "1025", "--v2", "100",
                   Wave("alpha.tdr")}),
              kExitOk)
        << err;
    text = PdfText(pdf);
    EXPECT_NE(text.find("V/2 100.0"), std::string::npos) << text;
    EXPECT_NE(text.find("Zoom 16"), std::string::npos) << text;
    EXPECT_NE(text.find("Zero point 900.000 m"), std::string::npos) << text;
    EXPECT_NE(text.find("Resolution 0.5000 m"), std::string::npos) << text;
}

TEST_F(Headless, PictureHasItsSizeAndTheTrace)
{
    const std::string png = Out("p.png");
    ASSERT_EQ(Run({"--png", png, Wave("alpha.tdr")}), kExitOk) << err;
    QImage image(QString::fromStdString(png));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(1200, 800));
    const int red = PixelsOf(image, QColor(200, 0, 0));
    EXPECT_GT(red, 500); // the flat trace runs across the plot

    ASSERT_EQ(Run({"--png", png, "--size", "640x480", Wave("alpha.tdr"), Wave("beta.TDR")}), kExitOk) << err;
    image.load(QString::fromStdString(png));
    EXPECT_EQ(image.size(), QSize(640, 480));
    EXPECT_GT(PixelsOf(image, QColor(200, 0, 0)), 300);
    EXPECT_GT(PixelsOf(image, QColor(255, 153, 0)), 100); // M2's trace
}

TEST_F(Headless, EventsPrintOneLinePerEvent)
{
    waves.WriteFile("open.tdr", OpenEndWaveform());
    const std::string header = "file\tnumber\tdistance m\tsign\tkind\tamplitude\treturn loss dB\tghost\tend\n";

    // At the recorded PR 2: 4000 × 0.125 × 1.5 / 2 = 375 m; 100 against 50 is 6 dB.
    ASSERT_EQ(Run({"--events", Wave("open.tdr")}), kExitOk) << err;
    EXPECT_EQ(out, header + Wave("open.tdr") + "\t1\t375.000\t+\topen\t50\t6.0\tno\t\n");
    EXPECT_EQ(err, "");
    // At --pr 1.5 distance and position agree; a flat file has no events.
    ASSERT_EQ(Run({"--events", "--pr", "1.5", Wave("open.tdr"), Wave("alpha.tdr")}), kExitOk) << err;
    EXPECT_EQ(out, header + Wave("open.tdr") + "\t1\t500.000\t+\topen\t50\t6.0\tno\t\n");

    // A recorded PR outside 1..3 is not used: the reference 1.5 is.
    waves.WriteFile("low.tdr", OpenEndWaveform(999));
    waves.WriteFile("high.tdr", OpenEndWaveform(3001));
    ASSERT_EQ(Run({"--events", Wave("low.tdr"), Wave("high.tdr")}), kExitOk) << err;
    EXPECT_EQ(out, header + Wave("low.tdr") + "\t1\t500.000\t+\topen\t50\t6.0\tno\t\n" + Wave("high.tdr") +
                       "\t1\t500.000\t+\topen\t50\t6.0\tno\t\n");

    // A file that fails is named on err; the others are still listed.
    EXPECT_EQ(Run({"--events", Wave("small.tdr"), Wave("open.tdr"), Wave("missing.tdr")}), kExitFailed);
    EXPECT_EQ(out, header + Wave("open.tdr") + "\t1\t375.000\t+\topen\t50\t6.0\tno\t\n");
    EXPECT_NE(err.find(Wave("small.tdr") + " is not a waveform"), std::string::npos) << err;
    EXPECT_NE(err.find("cannot open " + Wave("missing.tdr")), std::string::npos) << err;

    EXPECT_EQ(Run({"--events"}), kExitUsage);
    EXPECT_EQ(err, "ondalis: --events needs one or more waveform files\n" + UsageText());
    EXPECT_EQ(out, "");
}

TEST_F(Headless, ReportCarriesTheEventsTableWithEvents)
{
    waves.WriteFile("open.tdr", OpenEndWaveform());
    const std::string pdf = Out("r.pdf");
    ASSERT_EQ(Run({"--report", pdf, Wave("open.tdr")}), kExitOk) << err;
    EXPECT_EQ(PdfText(pdf).find("RL, dB"), std::string::npos);
    ASSERT_EQ(Run({"--report", pdf, "--events", Wave("open.tdr")}), kExitOk) << err;
    const std::string text = PdfText(pdf);
    for (const char* cell : {"Distance, m", "RL, dB", "375.000", "open", "6.0"}) {
        EXPECT_NE(text.find(cell), std::string::npos) << cell << "\n" << text;
    }
}

TEST_F(Headless, BadInputFailsWithAMessageAndWritesNothing)
{
    const std::string pdf = Out("r.pdf");
    EXPECT_EQ(Run({"--report", pdf, Wave("alpha.tdr"), Wave("missing.tdr")}), kExitFailed);
    EXPECT_NE(err.find(Wave("missing.tdr")), std::string::npos) << err;
    EXPECT_EQ(err.find('\n'), err.size() - 1); // one line
    EXPECT_FALSE(fs::exists(pdf));

    EXPECT_EQ(Run({"--png", Out("p.png"), Wave("small.tdr")}), kExitFailed);
    EXPECT_NE(err.find(Wave("small.tdr")), std::string::npos) << err;
    EXPECT_NE(err.find("not a waveform"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(output / "p.png"));

    EXPECT_EQ(Run({"--png", Out("p.png"), waves.Folder()}), kExitFailed);
    EXPECT_NE(err.find("folder"), std::string::npos) << err;

    // An output in a missing folder.
    const std::string nowhere = (output / "no" / "r.pdf").string();
    EXPECT_EQ(Run({"--report", nowhere, Wave("alpha.tdr")}), kExitFailed);
    EXPECT_NE(err.find(nowhere), std::string::npos) << err;
    const std::string nowherePng = (output / "no" / "p.png").string();
    EXPECT_EQ(Run({"--png", nowherePng, Wave("alpha.tdr")}), kExitFailed);
    EXPECT_NE(err.find(nowherePng), std::string::npos) << err;

    // Usage errors: the message on one line, then the usage text.
    EXPECT_EQ(Run({"--frobnicate"}), kExitUsage);
    EXPECT_EQ(err.substr(0, err.find('\n')), "ondalis: unknown option --frobnicate");
    EXPECT_EQ(err.substr(err.find('\n') + 1), UsageText());
    EXPECT_EQ(out, "");
    // A zoom too deep for the scale the file brings (250 m allows 4 at most).
    EXPECT_EQ(Run({"--png", Out("p.png"), "--zoom", "8", Wave("beta.TDR")}), kExitUsage);
    EXPECT_NE(err.find("zoom 8"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(output / "p.png"));
    // Cursors and centre on the scale only: 1 km at PR 1.465 is 1023.891 m.
    EXPECT_EQ(Run({"--png", Out("p.png"), "--c2", "1023.8", Wave("alpha.tdr")}), kExitOk) << err;
    fs::remove(output / "p.png");
    EXPECT_EQ(Run({"--png", Out("p.png"), "--c2", "1024", Wave("alpha.tdr")}), kExitUsage);
    EXPECT_NE(err.find("--c2 1024.000 m lies beyond the scale (1023.891 m)"), std::string::npos) << err;
    EXPECT_EQ(Run({"--png", Out("p.png"), "--zoom", "2", "--centre", "2000", Wave("alpha.tdr")}), kExitUsage);
    EXPECT_FALSE(fs::exists(output / "p.png"));

    EXPECT_EQ(Run({"--help"}), kExitOk);
    EXPECT_EQ(out, UsageText());
    EXPECT_EQ(Run({"--version"}), kExitOk);
    EXPECT_EQ(out, "Ondalis 5.0 v. 1.128\n");
}

TEST_F(Headless, SettingsAreNeitherReadNorWritten)
{
    TempDir home;
    // Settings that would change the picture if they were read: the other scale,
    // V/2 and cursors far out.
    const std::string ini = "[KLM-204]\r\nSCALE=11\r\nSPEED=1\r\nCURSOR1=50000\r\nOPEN=/elsewhere/\r\n";
    home.WriteFile("param.ini", ini);
    const ScopedEnv env("ONDALIS_HOME", home.Path().string());
    ASSERT_EQ(Run({"--report", Out("r.pdf"), Wave("alpha.tdr")}), kExitOk) << err;
    const std::string text = PdfText(Out("r.pdf"));
    EXPECT_NE(text.find("PR 1.465"), std::string::npos) << text;
    EXPECT_NE(text.find("C1 0.0000 m"), std::string::npos) << text;
    ASSERT_EQ(Run({"--png", Out("p.png"), Wave("alpha.tdr")}), kExitOk) << err;
    ASSERT_EQ(Run({"--list", waves.Folder()}), kExitOk) << err;
    EXPECT_EQ(home.ReadFile("param.ini"), ini);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(home.Path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

} // namespace
