// kavrelcfg run whole, on files and against kavrel-sim: what it prints, exits with and writes.
#include <gtest/gtest.h>

#include <signal.h>
#include <stdlib.h>
#include <unistd.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "config/config_file.h"
#include "config/config_image.h"
#include "program_run.h"
#include "support/stored_images.h"
#include "support/temp_dir.h"

namespace {

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string imagesDir() { return std::string(KAVREL_TEST_IMAGES) + "/"; }

// The text after `label` up to the end of its line.
std::string lineAfter(const std::string& text, const std::string& label) {
    const std::size_t at = text.find(label);
    if (at == std::string::npos) return {};
    const std::size_t from = at + label.size();
    return text.substr(from, text.find('\n', from) - from);
}

class Kavrelcfg : public ::testing::Test {
protected:
    // Backups go to the test's folder, never to the user's.
    void SetUp() override { ::setenv("XDG_STATE_HOME", dir.path("state").c_str(), 1); }

    std::string file(const std::string& name, const ConfigImage& image) {
        writeWholeFile(dir.path(name), configFileOf(image));
        return dir.path(name);
    }
    // The tracker's EEPROM as a configuration file, read with kavrelcfg, whatever it holds.
    std::string eeprom(const std::string& port) { return runKavrelcfg({"read", "-p", port, "-o", "-", "-q"}).out; }
    TempDir dir;
};

}  // namespace

TEST_F(Kavrelcfg, ShowAndHexReadAFileAsTheGenerationItsImageNames) {
    const ProgramResult shown = runKavrelcfg({"show", imagesDir() + "default-generation4.kvr"});
    EXPECT_TRUE(endedWith(shown, 0, "generation 4 (Kavrel FA v1.4), inferred from the image"));
    EXPECT_EQ(shown.out,
              "callsign = NOCALL\npath = WIDE1-1,WIDE2-1\nstatusText = Kavrel\ncalibration = 128\n"
              "autoTxDelayMs = 253\nsendEvery = 3\nautoTxRateSec = 300\nquietTimeMs = 1578\n"
              "frequencyMHz = 144.390\ntxTwist = true\ninvertCd = false\nsendWithWeather = false\n"
              "allowTtlSerial = false\npeetMode = true\nwx200Mode = false\nmodel = 4\n");
    const ProgramResult json = runKavrelcfg({"show", imagesDir() + "edge-foreign-callsign.kvr", "--json"});
    EXPECT_TRUE(contains(json.out, "  \"callsign\": \"\\u0001\\u007fNO\",\n")) << json.out;
    ASSERT_EQ(::mkfifo(dir.path("fifo").c_str(), 0600), 0);  // read once a program writes to it, said while waiting
    EXPECT_EQ(runKavrelcfgUntil({"show", dir.path("fifo")}, "Waiting for a program to write to " + dir.path("fifo"),
                                [&](pid_t) { writeWholeFile(dir.path("fifo"), configFileOf(defaultImage(4))); }).out, shown.out);

    // --generation reads an image as another generation would: here a frequency from generation 1's bytes.
    EXPECT_TRUE(contains(runKavrelcfg({"show", imagesDir() + "default-generation1.kvr", "--generation", "4"}).out,
                         "frequencyMHz = 205.450\n"));
    const ProgramResult hex = runKavrelcfg({"hex", imagesDir() + "default-generation1.kvr"});
    for (const char* row : {"0        09                       address block start: 9\n",
                            "5        40                       flags: peetMode\n",
                            "9-15     82 A0 96 AC 60 62 60     destination \"APKV01\"\n",
                            "30-36    AE 92 88 8A 64 40 63     path 2 \"WIDE2-1\", end of address block\n",
                            "119-126  00 00 00 00 00 00 00 00  unused\n127      00                       unused\n"})
        EXPECT_TRUE(contains(hex.out, row)) << row << hex.out;
    const ProgramResult hostile = runKavrelcfg({"hex", imagesDir() + "hostile-no-end-mark.kvr", "--json"});
    EXPECT_TRUE(endedWith(hostile, 1));
    EXPECT_TRUE(contains(hostile.out, "\"meaning\": \"no end-of-address-block mark") &&
                contains(hostile.out, "\"status text \\\"Kavrel\\\" (overlaps the bytes above)\"")) << hostile.out;
}

TEST_F(Kavrelcfg, EncodeStoresTheDefaultsOrAFileWithItsChanges) {
    EXPECT_TRUE(endedWith(runKavrelcfg({"encode", "--generation", "2", "-o", dir.path("d.kvr")}), 0));
    EXPECT_EQ(readWholeFile(dir.path("d.kvr")), configFileOf(defaultImage(2)));
    const ProgramResult changed =
        runKavrelcfg({"encode", "--from", imagesDir() + "default-generation4.kvr", "--set=callsign=kv1azZ-7", "--set",
                      "autoTxDelayMs=7", "--set", "frequencyMHz=146.5221", "--set", "wx200Mode=yes", "--set",
                      "statusText=Hi there", "-o", dir.path("e.kvr")});
    EXPECT_EQ(changed.exitCode, 0);
    EXPECT_EQ(changed.err, "autoTxDelayMs: 7 is stored as 13 (the tracker holds it in steps of 6.666 ms)\nfrequencyMHz: "
                           "146.5221 is stored as 146.520 (the tracker holds it in steps of 5 kHz)\nFile Saved\n");
    const ProgramResult shown = runKavrelcfg({"show", dir.path("e.kvr")});
    for (const char* line : {"callsign = KV1AZZ-7\n", "frequencyMHz = 146.520\n", "wx200Mode = true\n", "statusText = Hi there\n"})
        EXPECT_TRUE(contains(shown.out, line)) << line << shown.out;
}

// show --json gives back to encode byte for byte: texts beyond ASCII, and a delay's own byte.
TEST_F(Kavrelcfg, SettingsDocumentsRoundTrip) {
    TrackerSettings settings;
    settings.model = FirmwareModel::FaV1_4;
    settings.statusText = "20\xB1" "C";
    ConfigImage image = encodeSettings(settings).image;
    image[2] = 1;  // decodes to 7 ms, which would encode to 2
    const std::string original = file("original.kvr", image);
    const ProgramResult shown = runKavrelcfg({"show", original, "--json"});
    EXPECT_TRUE(contains(shown.out, "\"statusText\": \"20\\u00b1C\"")) << shown.out;
    writeWholeFile(dir.path("doc.json"), shown.out);

    EXPECT_TRUE(endedWith(runKavrelcfg({"encode", "--settings", dir.path("doc.json"), "-o", "-"}), 2,
                          "statusText (in " + dir.path("doc.json") + "): the text holds the byte 0xB1"));
    const ProgramResult encoded = runKavrelcfg({"encode", "--from", original, "--settings", dir.path("doc.json"), "--force", "-o", "-"});
    EXPECT_TRUE(endedWith(encoded, 0));
    EXPECT_EQ(encoded.out, configFileOf(image));
}

TEST_F(Kavrelcfg, FailuresExitOneAndUsageErrorsTwo) {
    writeWholeFile(dir.path("cut.kvr"), configFileOf(defaultImage(4)).substr(0, 100));
    writeWholeFile(dir.path("long.kvr"), configFileOf(defaultImage(4)) + "x");
    writeWholeFile(dir.path("lower.kvr"), "kvr1" + configFileOf(defaultImage(4)).substr(4));
    writeWholeFile(dir.path("huge.kvr"), std::string(1024 * 1024 + 1, 'x'));
    writeWholeFile(dir.path("doc.json"), " {}");
    const struct {
        std::vector<std::string> args;
        int exitCode;
        std::string err;
    } cases[] = {
        {{"show", dir.path("absent.kvr")}, 1, "kavrelcfg: error: cannot read " + dir.path("absent.kvr") +
                                                  ": No such file or directory (\"Failed to open file\")\n"},
        {{"show", imagesDir() + "hostile-blank.kvr"}, 1, "does not decode: its own indexes point outside its 128 bytes"},
        {{"show", dir.path("cut.kvr")}, 1, "is cut short: its image has 92 of 128 bytes"},
        {{"show", dir.path("long.kvr")}, 1, "long.kvr is not a configuration file: it has 137 bytes, where a configuration file has 136\n"},
        {{"hex", dir.path("lower.kvr")}, 1, "lower.kvr is not a configuration file: it begins with \"kvr1\", not KVR1\n"},
        {{"show", "/dev/zero"}, 1, "kavrelcfg: error: cannot read /dev/zero: it is a device, not a file\n"},
        {{"show", dir.path("huge.kvr")}, 1, "huge.kvr: it is larger than any configuration file or settings document\n"},
        {{"encode", "-o", "/dev/ptmx"}, 1, "cannot write /dev/ptmx: it is a terminal or serial port, not a file\nhint: name a file"},
        {{"read", "-p", dir.path("no-port"), "-o", "-", "--json"}, 2, "read: -o - and --json both print to standard output"},
        {{"read", "-p", imagesDir() + "hostile-blank.kvr"}, 1, "error: cannot open " + imagesDir() + "hostile-blank.kvr: Inappropriate "
                                                                "ioctl for device (\"Open: GetCommState failed\")\nhint: " +
                                                                imagesDir() + "hostile-blank.kvr is not a serial port"},
        {{"read", "-p", ""}, 2, "read: the port name is empty"},
        {{"restore", "-p", "port\n1", "x.kvr"}, 2, "restore: the port name holds a control character"},
        {{"show"}, 2, "kavrelcfg: error: show: give exactly one FILE.kvr"},
        {{"frobnicate"}, 2, "unknown command 'frobnicate'"},
        {{"encode", "--set", "callsign", "-o", "-"}, 2, "--set needs NAME=VALUE, not 'callsign'"},
        {{"encode", "--from", dir.path("doc.json"), "-o", "-"}, 1, "\nhint: it looks like a settings document: give it with"},
        {{"encode", "--settings", imagesDir() + "default-generation4.kvr", "-o", "-"}, 2, "\nhint: it looks like a configuration file"},
        {{"-q", "show", "-v", "x.kvr"}, 2, "show: options '-q' and '-v' exclude each other"},
    };
    for (const auto& c : cases) EXPECT_TRUE(endedWith(runKavrelcfg(c.args), c.exitCode, c.err)) << c.args[0];
    EXPECT_EQ(runKavrelcfg({"-V"}).out.compare(0, 10, "kavrelcfg "), 0);
}

TEST_F(Kavrelcfg, DiffComparesSettingBySettingAsDiffDoes) {
    const std::string generation4 = imagesDir() + "default-generation4.kvr";
    const ProgramResult same = runKavrelcfg({"diff", generation4, generation4});
    EXPECT_TRUE(endedWith(same, 0));
    EXPECT_EQ(same.out, "");
    const ProgramResult different = runKavrelcfg({"diff", imagesDir() + "default-generation3.kvr", generation4});
    EXPECT_TRUE(endedWith(different, 1));
    EXPECT_EQ(different.out, "frequencyMHz    (not carried) -> 144.390\nmodel           3 -> 4\n");
    // A settings document is read to the same size wherever it is taken; --model reads the .kvr side.
    writeWholeFile(dir.path("padded.json"), "{\"model\": 4}" + std::string(100 * 1024, ' '));
    EXPECT_TRUE(endedWith(runKavrelcfg({"diff", dir.path("padded.json"), generation4, "--model", "4"}), 0));
}

TEST_F(Kavrelcfg, ReadVersionAndProbeShowWhatCrossedTheLine) {
    SimulatorProcess sim({"--generation", "4", "--baud", "2400"});
    const ProgramResult read = runKavrelcfg({"read", "-p", sim.port(), "-o", dir.path("saved.kvr"), "--json", "--trace"});
    EXPECT_TRUE(endedWith(read, 0, "Read Config Successful\nFile Saved\n"));
    EXPECT_TRUE(contains(read.out, "  \"callsign\": \"NOCALL\",\n")) << read.out;
    for (const char* line : {"open   ", "at 2400 baud\n", "tx     1B 56\n", "tx     1B 55\n",
                             "rx     0B 80 26 2C 01 41 2A 3C 03 CE 70 82 A0 96 AC 62 ",
                             "0D 0A  \"Kavrel FA v1.4\\x0d\\x0a\"\n", "status Reading Config\n"})
        EXPECT_TRUE(contains(read.err, line)) << line << read.err;
    EXPECT_EQ(readWholeFile(dir.path("saved.kvr")), configFileOf(defaultImage(4)));

    EXPECT_EQ(runKavrelcfg({"version", "-p", sim.port()}).out, "version = Kavrel FA v1.4\nmodel = 4\n");
    EXPECT_TRUE(contains(runKavrelcfg({"version", "-v", "-p", sim.port()}).err, "Reading Version\n"));
    const ProgramResult version = runKavrelcfg({"version", "-p", sim.port(), "--json"});
    EXPECT_TRUE(endedWith(version, 0));
    EXPECT_TRUE(contains(version.out, "\"version\": \"Kavrel FA v1.4\\r\\n\",\n  \"model\": 4,\n  \"baud\": 2400")) << version.out;
    // Output that does not arrive fails the command (diff: trouble), and no success is said for it.
    const std::string generation4 = imagesDir() + "default-generation4.kvr";
    for (const auto& [args, exitCode] : std::vector<std::pair<std::vector<std::string>, int>>{
             {{"show", "--json", generation4}, 1}, {{"diff", generation4, imagesDir() + "default-generation3.kvr"}, 2},
             {{"read", "-p", sim.port(), "--json"}, 1}, {{"encode", "-o", "-"}, 1}, {{"--version"}, 1}}) {
        const ProgramResult lost = runKavrelcfg(args, 30000, "/dev/full");
        EXPECT_TRUE(endedWith(lost, exitCode, "kavrelcfg: error: cannot write standard output: No space left on device"));
        EXPECT_FALSE(contains(lost.err, "Successful") || contains(lost.err, "File Loaded")) << lost.err;
    }
    const ProgramResult probed = runKavrelcfg({"ports", "--probe", sim.port()});
    EXPECT_TRUE(endedWith(probed, 0));
    EXPECT_TRUE(contains(probed.out, "generation 4 (Kavrel FA v1.4) at 2400 baud\n")) << probed.out;
    EXPECT_TRUE(contains(runKavrelcfg({"ports", "--probe", "--json", sim.port()}).out,
                         "\"description\": \"\",\n    \"tracker\": true,\n    \"version\": \"Kavrel FA v1.4\\r\\n\""));
    const ProgramResult tone = runKavrelcfg({"tone", "-p", sim.port(), "--seconds", "1", "both", "--trace"});
    EXPECT_TRUE(endedWith(tone, 0, "tx     1B 1B 33\n"));
    EXPECT_TRUE(contains(tone.err, "tx     1B 1B 1B\n")) << tone.err;
    SimulatorProcess none({"--generation", "none"});
    EXPECT_TRUE(endedWith(runKavrelcfg({"version", "-p", none.port()}), 1, "kavrelcfg: error: no tracker answered on " +
                          none.port() + " at 9600 or 2400 baud (\"Kavrel not found : ()\")\n"));
}

// Refused values (exit 2; the values themselves: setting_rules_test), a dry run and a write that
// changes nothing send no write command.
TEST_F(Kavrelcfg, RefusedValuesADryRunAndNoChangeWriteNothing) {
    SimulatorProcess sim({"--generation", "1", "--trace"});
    const struct {
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {{"--set", "callsign=LONGCALLSIGN", "--force"}, "'LONGCALLSIGN' is not a callsign"},
        {{"--set", "bogus=1"}, "unknown setting 'bogus'; the settings are callsign, path, statusText,"},
        {{"--set", "invertCd=true", "--force"}, "invertCd: not carried by generation 1 (Kavrel v1.1)"},
        {{"--set", "statusText=" + std::string(100, 'x')}, "statusText: 100 characters do not fit: with this path 87 fit"},
        {{"--from", imagesDir() + "default-generation4.kvr"}, "allowTtlSerial (in " + imagesDir() + "default-generation4.kvr): "
                                                              "not carried by generation 1 (Kavrel v1.1)\nhint: --force stores"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"write", "-p", sim.port(), "--yes"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        EXPECT_TRUE(endedWith(runKavrelcfg(args), 2, c.err));
    }
    const ProgramResult dry = runKavrelcfg({"write", "-p", sim.port(), "--dry-run", "--set", "callsign=KV1DRY", "--set",
                                            "autoTxRateSec=600", "--set", "path=WIDE1-1,WIDE2-1"});
    EXPECT_TRUE(endedWith(dry, 0));
    EXPECT_EQ(dry.out, "Would change on " + sim.port() + ", generation 1 (Kavrel v1.1):\n  callsign        NOCALL -> "
                       "KV1DRY\n  autoTxRateSec   300 -> 600\n");
    EXPECT_TRUE(endedWith(runKavrelcfg({"write", "-p", sim.port(), "--set", "callsign=nocall"}), 0, "Nothing to change"));
    EXPECT_FALSE(contains(sim.trace(), "host> 44")) << "ESC D was sent";
}

TEST_F(Kavrelcfg, AWriteBacksUpWhatTheTrackerHeldAndKeepsARecordOfItself) {
    SimulatorProcess sim({"--generation", "3"});
    // A relative XDG_STATE_HOME is ignored: the backups go under HOME.
    ::setenv("XDG_STATE_HOME", "state", 1);
    ::setenv("HOME", dir.path("home").c_str(), 1);
    const ProgramResult written = runKavrelcfg({"write", "-p", sim.port(), "--set", "callsign=KV1NEW"});
    EXPECT_TRUE(endedWith(written, 0));
    const std::string backup = lineAfter(written.err, "Backup of what the tracker held: ");
    const std::string folder = dir.path("home/.local/state/kavrelcfg/backups/");
    EXPECT_EQ(backup.compare(0, folder.size(), folder), 0) << backup;
    EXPECT_EQ(readWholeFile(backup), configFileOf(defaultImage(3)));
    const ProgramResult diff = runKavrelcfg({"diff", backup, "-p", sim.port()});
    EXPECT_TRUE(endedWith(diff, 1));
    EXPECT_EQ(diff.out, "callsign        NOCALL -> KV1NEW\n");
    EXPECT_EQ(diff.err.find('\r'), std::string::npos) << "a progress line where no terminal is";
    // A write that cannot keep its record (the state folder is a file) sends nothing.
    ::setenv("XDG_STATE_HOME", backup.c_str(), 1);
    EXPECT_TRUE(endedWith(runKavrelcfg({"write", "-p", sim.port(), "--set", "callsign=KV1REC", "--no-backup"}), 1,
                          "cannot keep the record of this write"));
}

// A restore puts back bytes whatever they mean; a read of values no tool writes is no success.
TEST_F(Kavrelcfg, ARestorePutsBackEveryByteAndAReadSaysWhatNoToolWrites) {
    SimulatorProcess sim({"--generation", "4"});
    ConfigImage odd = defaultImage(4);
    odd[5] |= 0x80;                 // a flag no setting has
    odd[9] = 0xFF, odd[10] = 0x7F;  // far above 148 MHz
    odd[18] = 0xFE;                 // DEL, a control character, in the callsign
    odd[120] = 0x5A;                // after the status text
    for (const std::string& name :
         {imagesDir() + "hostile-blank.kvr", imagesDir() + "default-generation3.kvr", file("odd.kvr", odd)}) {
        EXPECT_TRUE(endedWith(runKavrelcfg({"restore", "-p", sim.port(), "--no-backup", "--force", name}), 0)) << name;
        EXPECT_EQ(eeprom(sim.port()), readWholeFile(name)) << name;
    }
    const ProgramResult read = runKavrelcfg({"read", "-p", sim.port()});
    EXPECT_TRUE(endedWith(read, 1, "holds values no tool writes (callsign: it holds control characters; frequencyMHz: "));
    EXPECT_TRUE(contains(read.out, "frequencyMHz = ")) << read.out;
    EXPECT_TRUE(endedWith(runKavrelcfg({"restore", "-p", sim.port(), imagesDir() + "default-generation1.kvr"}), 1,
                          "is laid out for generation 1 (Kavrel v1.1)"));
    EXPECT_EQ(eeprom(sim.port()), configFileOf(odd));
}

// From ESC "D" on, an interrupt (Ctrl-\: a core dump would tear the image) lets the write finish.
TEST_F(Kavrelcfg, AnInterruptDuringTheImageFinishesItAndEndsWith130) {
    SimulatorProcess sim({"--generation", "4"});
    const ProgramResult result = runKavrelcfgUntil({"write", "-p", sim.port(), "--set", "callsign=KV1INT", "--trace"},
                                                   "Writing Config : *\n", [](pid_t pid) { ::kill(pid, SIGQUIT); });
    EXPECT_TRUE(endedWith(result, 130, "interrupted: the write goes on to its end"));
    EXPECT_TRUE(contains(result.err, "Config Written Successfully!\n")) << result.err;
    // A read stops at once, and the port is free again.
    EXPECT_TRUE(endedWith(
        runKavrelcfgUntil({"read", "-p", sim.port(), "--trace"}, "tx     1B 56", [](pid_t pid) { ::kill(pid, SIGTERM); }), 130));
    EXPECT_TRUE(endedWith(runKavrelcfg({"version", "-p", sim.port()}), 0));
}

// After a killed write, one unanswered probe and nothing more; restarted, the restore finds its image.
TEST_F(Kavrelcfg, AfterAKilledWriteNothingMoreIsSentUntilTheTrackerAnswers) {
    const std::string port = dir.path("port");
    auto sim = std::make_unique<SimulatorProcess>(std::vector<std::string>{"--generation", "4", "--link", port, "--trace"});
    const ProgramResult killed = runKavrelcfgUntil({"write", "-p", port, "--set", "callsign=KV1KIL", "--trace"},
                                                   "Writing Config : *\n", [](pid_t pid) { ::kill(pid, SIGKILL); });
    ASSERT_EQ(killed.signal, SIGKILL);
    const std::size_t traced = sim->trace().size();
    const ProgramResult refused = runKavrelcfg({"read", "-p", port});
    EXPECT_TRUE(endedWith(refused, 1, "did not finish: it may still wait for the rest of that image"));
    const std::string probe = sim->trace().substr(traced);
    EXPECT_EQ(std::count(probe.begin(), probe.end(), '>'), 2) << "more than one probe reached a tracker taking an image";
    const std::string backup = lineAfter(refused.err, "  kavrelcfg restore -p " + port + " ");
    ASSERT_FALSE(backup.empty()) << refused.err;

    sim.reset();  // switched off and on
    sim = std::make_unique<SimulatorProcess>(std::vector<std::string>{"--generation", "4", "--link", port});
    const ProgramResult restored = runKavrelcfg({"restore", "-p", port, backup});
    EXPECT_TRUE(endedWith(restored, 0, "already; nothing sent"));
    EXPECT_TRUE(contains(restored.err, "It answers")) << restored.err;
    EXPECT_EQ(runKavrelcfg({"read", "-p", port}).err, "Read Config Successful\n");
}

TEST_F(Kavrelcfg, APortLostMidWriteEndsAtOnceAndSaysWhatTheTrackerMayHold) {
    auto sim = std::make_unique<SimulatorProcess>(std::vector<std::string>{"--generation", "4"});
    const ProgramResult result = runKavrelcfgUntil({"write", "-p", sim->port(), "--set", "callsign=KV1GON", "--trace"},
                                                   "Writing Config : *\n", [&](pid_t) { sim->kill(); });
    EXPECT_TRUE(endedWith(result, 1, "kavrelcfg: error: lost the port " + sim->port() + ": Input/output error"));
    // The trace lists only the bytes that left, and the summary counts the same.
    const std::size_t command = result.err.find("tx     1B 44\n");
    int sent = 0;
    for (std::size_t at = result.err.find("tx     ", command + 1); at != std::string::npos; at = result.err.find("tx     ", at + 1))
        sent += static_cast<int>((result.err.find('\n', at) - at - 7 + 1) / 3);
    EXPECT_TRUE(contains(result.err, "The tracker got the write command and " + std::to_string(sent) + " of the 128 bytes"))
        << result.err;
    EXPECT_TRUE(contains(result.err, "  kavrelcfg restore -p " + sim->port() + " " + dir.path("state/kavrelcfg/backups/")))
        << result.err;

    // A tone whose stop cannot be sent may still be on (a link goes with the tracker, not its pty).
    const std::string port = dir.path("tone-port");
    sim = std::make_unique<SimulatorProcess>(std::vector<std::string>{"--generation", "4", "--link", port});
    const ProgramResult tone = runKavrelcfgUntil({"tone", "-p", port, "--seconds", "1", "1200"}, "Test tone command sent: 1200",
                                                 [&](pid_t) { sim->kill(); ::unlink(port.c_str()); });
    EXPECT_TRUE(endedWith(tone, 1, "the tone may still be on\nhint: 'kavrelcfg tone -p " + port + " stop'"));
    EXPECT_TRUE(contains(tone.err, "error: cannot open " + port)) << tone.err;
}

// A late read-back is read once more; a wrong one fails; a cut-short first reply writes nothing.
TEST_F(Kavrelcfg, ALateReadBackIsReadOnceMoreAndAWrongOneFails) {
    const struct {
        const char* fault;
        int exitCode;
        const char* err;
    } cases[] = {
        {"late:200", 0, "(0 of 128 bytes); reading the tracker once more to verify.\nConfig Written Successfully!\n"},
        {"corrupt:20", 1, "The tracker got the whole new image, but its read-back did not confirm it"},
        {"short:20", 1, "sent 20 bytes, not 128, when asked for its configuration (\"Corrupted EEPROM\"): the line to it "
                        "is not reliable; nothing was written\nhint: check the cable"},
    };
    for (const auto& c : cases) {
        SimulatorProcess sim({"--generation", "4", "--fault", c.fault});
        EXPECT_TRUE(endedWith(runKavrelcfg({"write", "-p", sim.port(), "--set", "callsign=KV1LAT"}), c.exitCode, c.err));
    }
}

TEST_F(Kavrelcfg, OnATerminalTheWriteAsksAndShowsProgress) {
    SimulatorProcess sim({"--generation", "4"});
    // "n", and the end of input (Ctrl-D), decline; Ctrl-C interrupts.
    const struct {
        const char* typed;
        int exitCode;
    } answers[] = {{"n\n", 1}, {"\x04", 1}, {"\x03", 130}};
    for (const auto& answer : answers) {
        const ProgramResult declined = runKavrelcfgOnTerminal({"write", "-p", sim.port(), "--set", "autoTxRateSec=90"},
                                                              "Continue? [y/N] ", answer.typed);
        EXPECT_EQ(declined.exitCode, answer.exitCode) << declined.out;
    }
    // From its read to its end the write holds the port: another write cannot come in between.
    ProgramResult other;
    const ProgramResult accepted =
        runKavrelcfgOnTerminal({"write", "-p", sim.port(), "--set", "autoTxRateSec=90"}, "Continue? [y/N] ", "y\n",
                               [&] { other = runKavrelcfg({"write", "-p", sim.port(), "--set", "callsign=KV1OTH"}); });
    EXPECT_EQ(accepted.exitCode, 0) << accepted.out;
    EXPECT_TRUE(endedWith(other, 1, sim.port() + " is in use"));
    EXPECT_TRUE(contains(accepted.out, "\rWriting Config  128/128")) << accepted.out;
    // The progress line is cleared before the outcome is printed.
    EXPECT_TRUE(contains(accepted.out, "\r" + std::string(50, ' ') + "\rConfig Written Successfully!")) << accepted.out;
    const ProgramResult binary = runKavrelcfgOnTerminal({"read", "-p", sim.port(), "-o", "-"}, "\n", "");
    EXPECT_EQ(binary.exitCode, 1);
    EXPECT_TRUE(contains(binary.out, "cannot write standard output: it is a terminal, not a file\r\nhint: redirect")) << binary.out;
    const ProgramResult quiet = runKavrelcfg({"write", "-q", "-p", sim.port(), "--set", "autoTxRateSec=600"});
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_EQ(quiet.out + quiet.err, "");
}
