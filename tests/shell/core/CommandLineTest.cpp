#include "shell/core/CommandLine.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

// Expected options are written with designated initializers: the fields left
// out keep their defaults, which is the point of the comparison.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

ParsedCommandLine Parse(std::vector<std::string> args) { return ParseCommandLine(args); }

// The error text of arguments that must be refused (empty when they were taken).
std::string ErrorOf(std::vector<std::string> args) { return ParseCommandLine(args).m_strError; }

TEST(CommandLine, WindowRunsTakeFilesAndNoOptions)
{
    EXPECT_FALSE(IsHeadlessCommandLine({}));
    EXPECT_FALSE(IsHeadlessCommandLine({"a.tdr"}));
    EXPECT_FALSE(IsHeadlessCommandLine({"-style", "fusion"})); // Qt's own options stay the window's
    EXPECT_TRUE(IsHeadlessCommandLine({"a.tdr", "--csv"}));
    // A bare "--" ends the options: what follows opens in the window, even "--x.tdr".
    EXPECT_FALSE(IsHeadlessCommandLine({"--"}));
    EXPECT_FALSE(IsHeadlessCommandLine({"--", "--x.tdr"}));
    EXPECT_TRUE(IsHeadlessCommandLine({"--png", "p", "--", "--x.tdr"}));
    EXPECT_TRUE(Parse({"--", "--x.tdr"}).m_options == (CommandOptions{.m_files = {"--x.tdr"}}));

    const ParsedCommandLine window = Parse({"a.tdr"});
    ASSERT_TRUE(window.Ok());
    EXPECT_EQ(window.m_options.m_mode, RunMode::Window);
    EXPECT_EQ(window.m_options.m_files, std::vector<std::string>{"a.tdr"});
    // A file manager hands over every selected file: the window sorts them out.
    EXPECT_EQ(Parse({"a.tdr", "grid.pie", "b.tdr", "c.tku", "d.tdr"}).m_options.m_files.size(), 5u);
    EXPECT_EQ(KindOfOpenedFile("/w/Grid.PIE"), OpenedFile::SiteGrid);
    EXPECT_EQ(KindOfOpenedFile("cables.tku"), OpenedFile::CableLibrary);
    EXPECT_EQ(KindOfOpenedFile("a.tdr"), OpenedFile::Waveform);
    EXPECT_EQ(KindOfOpenedFile("pie"), OpenedFile::Waveform);
    EXPECT_NE(ErrorOf({"--c1", "5", "a.tdr"}), ""); // a drawing option without --report or --png
}

TEST(CommandLine, ListExportHelpAndVersion)
{
    const ParsedCommandLine list = Parse({"--list", "/w", "--csv"});
    ASSERT_TRUE(list.Ok()) << list.m_strError;
    EXPECT_EQ(list.m_options.m_mode, RunMode::List);
    EXPECT_EQ(list.m_options.m_strFolder, "/w");
    EXPECT_TRUE(list.m_options.m_bCsv);
    EXPECT_FALSE(Parse({"--list=/w"}).m_options.m_bCsv);
    EXPECT_EQ(Parse({"--list=/w"}).m_options.m_strFolder, "/w");

    const ParsedCommandLine exported = Parse({"--export-text", "dir"});
    ASSERT_TRUE(exported.Ok());
    EXPECT_EQ(exported.m_options.m_mode, RunMode::ExportText);
    EXPECT_EQ(exported.m_options.m_strFolder, "dir");

    EXPECT_EQ(Parse({"--help"}).m_options.m_mode, RunMode::Help);
    EXPECT_EQ(Parse({"--version"}).m_options.m_mode, RunMode::Version);

    // Options that belong to another run, stray arguments, missing folders.
    EXPECT_NE(ErrorOf({"--export-text", "dir", "--csv"}), "");
    EXPECT_NE(ErrorOf({"--list", "dir", "extra"}), "");
    EXPECT_NE(ErrorOf({"--list", "dir", "--c1", "3"}), "");
    EXPECT_NE(ErrorOf({"--help", "a.tdr"}), "");
    EXPECT_NE(ErrorOf({"--list"}), "");
    EXPECT_NE(ErrorOf({"--list="}), "");
    EXPECT_NE(ErrorOf({"--list", "--csv"}), ""); // an option is not taken as the folder
    EXPECT_NE(ErrorOf({"--csv"}), "");
    EXPECT_NE(ErrorOf({"--help", "--version"}), "");
    EXPECT_NE(ErrorOf({"--list", "a", "--png", "b.png", "c.tdr"}), "");
}

TEST(CommandLine, ReportAndPictureOptions)
{
    const ParsedCommandLine report = Parse({"--report", "out.pdf", "--scale", "0.0625", "--zoom", "1", "--centre",
                                            "12.5", "--c1=3.25", "--c2", "40", "--pr", "1.465", "a.tdr", "b.tdr",
                                            "c.tdr"});
    ASSERT_TRUE(report.Ok()) << report.m_strError;
    // Every field, the untouched ones at their defaults.
    EXPECT_TRUE(report.m_options == (CommandOptions{.m_mode = RunMode::Report, .m_strOutput = "out.pdf",
                                                    .m_scaleIndex = 0, .m_zoomExponent = 0, .m_centre = 12.5,
                                                    .m_cursor1 = 3.25, .m_cursor2 = 40.0, .m_factor = 1.465,
                                                    .m_files = {"a.tdr", "b.tdr", "c.tdr"}}));
    EXPECT_EQ(report.m_options.m_nWidth, 1200);

    const ParsedCommandLine picture =
        Parse({"a.tdr", "--png", "p.png", "--size", "640x480", "--scale-index", "11", "--zoom", "16", "--v2", "75"});
    ASSERT_TRUE(picture.Ok()) << picture.m_strError;
    // V/2 75 m/us is PR 2.
    EXPECT_TRUE(picture.m_options == (CommandOptions{.m_mode = RunMode::Picture, .m_strOutput = "p.png",
                                                     .m_scaleIndex = 11, .m_zoomExponent = 4, .m_factor = 2.0,
                                                     .m_bHalfVelocity = true, .m_nWidth = 640, .m_nHeight = 480,
                                                     .m_files = {"a.tdr"}}));

    // A thumbnail: the picture without its legend, with the picture's options.
    EXPECT_TRUE(Parse({"--thumbnail", "t.png", "--size", "256x256", "--", "a.tdr"}).m_options ==
                (CommandOptions{.m_mode = RunMode::Thumbnail, .m_strOutput = "t.png", .m_nWidth = 256,
                                .m_nHeight = 256, .m_files = {"a.tdr"}}));
    EXPECT_NE(ErrorOf({"--thumbnail", "t.png", "--size", "99x99", "a.tdr"}), "");
    EXPECT_NE(ErrorOf({"--thumbnail", "a.tdr", "b.tdr"}), ""); // the output forgotten
    EXPECT_NE(ErrorOf({"--list", "d", "--size", "256x256"}), "");

    // After "--" everything is a file, even what looks like an option.
    const ParsedCommandLine dashed = Parse({"--png", "p.png", "--", "--odd.tdr"});
    ASSERT_TRUE(dashed.Ok());
    EXPECT_EQ(dashed.m_options.m_files, std::vector<std::string>{"--odd.tdr"});
}

TEST(CommandLine, EventsTakeAnyNumberOfFilesAndOnlyThePr)
{
    const ParsedCommandLine one = Parse({"--events", "a.tdr"});
    ASSERT_TRUE(one.Ok()) << one.m_strError;
    EXPECT_TRUE(one.m_options == (CommandOptions{.m_mode = RunMode::Events, .m_files = {"a.tdr"}}));

    // More than three files, --pr before or after them.
    const ParsedCommandLine many = Parse({"a", "--events", "b", "c", "d", "--pr=1.465", "e"});
    ASSERT_TRUE(many.Ok()) << many.m_strError;
    EXPECT_TRUE(many.m_options == (CommandOptions{.m_mode = RunMode::Events, .m_factor = 1.465,
                                                  .m_files = {"a", "b", "c", "d", "e"}}));

    EXPECT_EQ(ErrorOf({"--events"}), "--events needs one or more waveform files");
    EXPECT_EQ(ErrorOf({"--events", "--pr", "1.5"}), "--events needs one or more waveform files");
    EXPECT_EQ(ErrorOf({"--events", "--v2", "100", "a"}), "option --v2 belongs to --report and --png");
    EXPECT_EQ(ErrorOf({"--events", "--c1", "1", "a"}), "option --c1 belongs to --report and --png");
    EXPECT_EQ(ErrorOf({"--events", "--scale", "1", "a"}), "option --scale belongs to --report and --png");
    EXPECT_NE(ErrorOf({"--events", "--pr", "0", "a"}), "");
    EXPECT_NE(ErrorOf({"--events", "--csv", "a"}), "");
    EXPECT_NE(ErrorOf({"--events", "--size", "640x480", "a"}), "");
    EXPECT_NE(ErrorOf({"--events=a.tdr"}), ""); // the files are plain arguments
    EXPECT_NE(ErrorOf({"--events", "a", "--list", "x"}), "");
    // Beside --report, in either order, it puts the events table on the report.
    for (const auto& args : {std::vector<std::string>{"--report", "r.pdf", "--events", "a"},
                             std::vector<std::string>{"--events", "--report", "r.pdf", "a"}}) {
        const ParsedCommandLine report = Parse(args);
        ASSERT_TRUE(report.Ok()) << report.m_strError;
        EXPECT_TRUE(report.m_options == (CommandOptions{.m_mode = RunMode::Report, .m_strOutput = "r.pdf",
                                                        .m_bEvents = true, .m_files = {"a"}}));
    }
    EXPECT_EQ(ErrorOf({"--png", "p.png", "--events", "a"}), "options --png and --events cannot be combined");
    EXPECT_NE(ErrorOf({"--report", "r.pdf", "--events", "--events", "a"}), "");
    EXPECT_EQ(ErrorOf({"--pr", "1.5", "a"}), "options need one of --list, --export-text, --events, --report, --png or --thumbnail");
}

// A forgotten output name would take the first waveform's place and overwrite
// it: an output ending in ".tdr", or that is one of the waveforms, is refused.
TEST(CommandLine, AnOutputNamedLikeAWaveformIsRefused)
{
    EXPECT_EQ(ErrorOf({"--report", "a.tdr", "b.tdr"}), "--report a.tdr: the output may not be a waveform (.tdr)");
    EXPECT_NE(ErrorOf({"--png", "a.tdr", "a.tdr"}), "");
    EXPECT_NE(ErrorOf({"--png=dir/A.TdR", "b"}), "");
    EXPECT_EQ(ErrorOf({"--png", "w", "b", "w"}), "--png w: the output is also one of the waveforms");

    TempDir dir;
    dir.WriteFile("w", "");
    std::filesystem::create_symlink(dir / "w", dir / "link.png");
    const std::string wave = (dir / "w").string();
    for (const std::string& same : {dir.Folder() + "./w", (dir / "link.png").string()}) {
        EXPECT_NE(ErrorOf({"--report", same, "b", wave}), "") << same;
    }
    EXPECT_EQ(ErrorOf({"--report", (dir / "w.pdf").string(), wave}), "");
    EXPECT_EQ(ErrorOf({"--png", "a.tdr.png", "a.tdr"}), "");
}

// --pr and --v2 take what the fields allow, ends included, in every run that takes them.
TEST(CommandLine, FactorsOutsideTheFieldsRangeAreRefused)
{
    const std::vector<std::vector<std::string>> runs = {{"--png", "p"}, {"--report", "r.pdf"}, {"--events"}};
    for (const auto& run : runs) {
        const auto withFactor = [&](const std::string& option, const std::string& value) {
            std::vector<std::string> args = run;
            args.insert(args.end(), {option, value, "a"});
            return ParseCommandLine(args);
        };
        EXPECT_EQ(withFactor("--pr", "1").m_options.m_factor, 1.0);
        EXPECT_EQ(withFactor("--pr", "3").m_options.m_factor, 3.0);
        for (const char* bad : {"0.999", "3.001", "1e-320", "nan", "inf"}) {
            EXPECT_EQ(withFactor("--pr", bad).m_strError, "--pr " + std::string(bad) + " is not a PR of 1 to 3");
        }
        if (run[0] == "--events") {
            continue; // --events takes no --v2
        }
        EXPECT_EQ(withFactor("--v2", "150").m_options.m_factor, 1.0);
        EXPECT_EQ(withFactor("--v2", "50").m_options.m_factor, 3.0);
        for (const char* bad : {"49.999", "150.001", "5e-324"}) {
            EXPECT_EQ(withFactor("--v2", bad).m_strError, "--v2 " + std::string(bad) + " is not a V/2 of 50 to 150 m/us");
        }
    }
}

TEST(CommandLine, ScalesAreTableEntriesInKilometres)
{
    const double km[] = {0.0625, 0.125, 0.25, 0.5, 1, 2, 4, 8, 16, 32, 64, 128};
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(ScaleIndexOfKilometres(km[i]), i);
        EXPECT_EQ(Parse({"--png", "p", "--scale", std::to_string(km[i]), "a"}).m_options.m_scaleIndex, i);
    }
    EXPECT_EQ(Parse({"--png", "p", "--scale", "1e0", "a"}).m_options.m_scaleIndex, 4);
    for (const char* bad : {"0.06", "3", "62.5", "0", "-1", "1,0", "1km", "", "nan", "inf", " 1"}) {
        EXPECT_NE(ErrorOf({"--png", "p", "--scale", bad, "a"}), "") << bad;
    }
    for (const char* bad : {"12", "-1", "1.0", "x", ""}) {
        EXPECT_NE(ErrorOf({"--png", "p", "--scale-index", bad, "a"}), "") << bad;
    }
}

TEST(CommandLine, RefusedArguments)
{
    const std::vector<std::vector<std::string>> refused = {
        {"--bogus"},
        {"--png"},                                          // no output named
        {"--png", "p.png"},                                 // no files
        {"--report", "r.pdf", "a", "b", "c", "d"},          // more than three files
        {"--png", "p", "--c1", "1", "--c1", "2", "a"},      // given twice
        {"--png", "p", "--c1=1", "--c1", "1", "a"},         // given twice, once with '='
        {"--png", "p", "a", "--c1"},                        // value missing at the end
        {"--png", "p", "--pr", "1.5", "--v2", "100", "a"},  // both factors
        {"--png", "p", "--scale", "1", "--scale-index", "4", "a"},
        {"--png", "p", "--centre", "5", "a"},               // a centre without a zoom
        {"--png", "p", "--zoom", "3", "a"},
        {"--png", "p", "--zoom", "32", "a"},
        {"--png", "p", "--zoom", "0", "a"},
        {"--png", "p", "--pr", "0", "a"},
        {"--png", "p", "--pr", "-1.5", "a"},
        {"--png", "p", "--v2", "0", "a"},
        {"--png", "p", "--c1", "-3", "a"},
        {"--png", "p", "--c2", "1,5", "a"},                 // the decimal point is always '.'
        {"--png", "p", "--c2", "1e999", "a"},               // out of range
        {"--png", "p", "--size", "640", "a"},
        {"--png", "p", "--size", "640x", "a"},
        {"--png", "p", "--size", "99x480", "a"},
        {"--png", "p", "--size", "640x10001", "a"},
        {"--png", "p", "--size", "640x480x2", "a"},
        {"--report", "r.pdf", "--size", "640x480", "a"},    // a picture option for the report
        {"--csv=1", "--list", "x"},                         // a flag with a value
        {"--version=1"},
    };
    for (const auto& args : refused) {
        std::string joined;
        for (const std::string& a : args) {
            joined += a + ' ';
        }
        const std::string error = ErrorOf(args);
        EXPECT_NE(error, "") << joined;
        EXPECT_EQ(error.find('\n'), std::string::npos) << joined; // one line
    }
    EXPECT_NE(ErrorOf({"--bogus"}).find("--bogus"), std::string::npos);
    // What is quoted from the arguments keeps the message on one line.
    EXPECT_EQ(ErrorOf({"--version\n"}), "unknown option --version?");
    EXPECT_EQ(ErrorOf({"--png", "p", "--c1", "1\r\n2", "a"}).find('\n'), std::string::npos);
    EXPECT_NE(ErrorOf({"--png", "p", "--c1", "1", "--c1", "2", "a"}).find("twice"), std::string::npos);
}

TEST(CommandLine, TableLines)
{
    EXPECT_EQ(FormatTableLine({"a", " ", "1.500"}, false), "a\t \t1.500\n");
    EXPECT_EQ(FormatTableLine({"tab\there", "line\nbreak", "cr\r"}, false), "tab here\tline break\tcr \n");
    EXPECT_EQ(FormatTableLine({"plain", "a,b", "say \"hi\"", "two\nlines", ""}, true),
              "plain,\"a,b\",\"say \"\"hi\"\"\",\"two\nlines\",\n");
    EXPECT_EQ(FormatTableLine({}, true), "\n");
}

} // namespace
