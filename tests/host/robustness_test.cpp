// Start-up, detection and one installation on real-shaped registries with every registry call
// failing once, and on random registry trees: no crash, one box per failure, the run goes on,
// and nothing changes but what the program means to write. Then the parsers' seeded loops.
#include <gtest/gtest.h>

#include <dirent.h>

#include <fstream>
#include <iterator>
#include <random>

#include "ParserChecks.h"
#include "Robustness.h"
#include "TestSupport.h"
#include "app/CommandLine.h"
#include "applied/Applied.h"
#include "confirm/Confirm.h"
#include "registry/DriverKeys.h"

namespace quorvel::robustness {
namespace {

using platform::sim::RegCall;
using platform::sim::RegCallRecord;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The files of tests/fuzz/<kind>/<target>/ ("seeds" or "reproducers"), in name order.
std::vector<std::string> FuzzFiles(const std::string& kind, const std::string& target) {
    const std::string folder =
        std::string(QUORVEL_FIXTURES_DIR) + "/../fuzz/" + kind + "/" + target;
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            if (entry->d_name[0] != '.') {
                names.push_back(entry->d_name);
            }
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    std::vector<std::string> files;
    for (const std::string& name : names) {
        files.push_back(ReadFile(folder + "/" + name));
    }
    return files;
}

// Whether a failure of call `n` of a clean run goes unreported: the probes KeyExists and
// ValueExists, and ReadValue, take status 2 of their open or query for "not there" and lose
// nothing when their close fails. In a clean run without boxes a probe is an open for enumeration
// followed by a close, or an open for query followed by one query of the size only; a probe that
// found nothing is a lone open. ReadValue (the backup's, of the values about to be written) asks
// for the size and then for the data.
// The folder of the last undo file is written without a box whatever fails.
bool IsSilent(const std::vector<RegCallRecord>& calls, std::size_t n, long status) {
    std::size_t first = n;
    while (first > 0 && calls[first].call != RegCall::Open &&
           calls[first].call != RegCall::Create) {
        --first;
    }
    std::size_t last = first;
    while (calls[first].status == 0 && calls[last].call != RegCall::Close) {
        ++last;
    }
    const RegCallRecord& open = calls[first];
    bool probe =
        open.call == RegCall::Open && open.status != 0 &&
        (open.access == platform::kKeyEnumerateSubKeys || open.access == platform::kKeyQueryValue);
    if (open.call == RegCall::Open && open.status == 0) {
        const auto managed = [&](const std::string& name) {
            return name == registry::kUseCompressedModeFormat ||
                   std::find(registry::kModesDeltaValues.begin(), registry::kModesDeltaValues.end(),
                             name) != registry::kModesDeltaValues.end();
        };
        // The backup reads before the first table is written; after it, the same calls are the
        // tables read back, which report what fails.
        const auto written = std::find_if(calls.begin(), calls.end(), [&](const RegCallRecord& c) {
            return c.call == RegCall::Set && managed(c.name);
        });
        const bool beforeWriting = static_cast<std::size_t>(written - calls.begin()) > first;
        probe = (open.access == platform::kKeyEnumerateSubKeys && last == first + 1) ||
                (open.access == platform::kKeyQueryValue && last == first + 2 &&
                 !calls[first + 1].withData) ||
                (open.access == platform::kKeyQueryValue && last == first + 3 &&
                 !calls[first + 1].withData && managed(calls[first + 1].name) && beforeWriting);
    }
    // The monitors are read without a box: a failure there only leaves their limits unknown.
    if (calls[n].keyPath.find("\\Enum\\DISPLAY") != std::string::npos) {
        return true;
    }
    // After the tables are written, a key is made only by what never shows a box: the record and
    // the check after the restart (the version's key is made at start).
    const bool tablesWritten =
        std::any_of(calls.begin(), calls.begin() + first, [](const RegCallRecord& c) {
            return c.call == RegCall::Set && IsManagedValueName(Upper(c.name));
        });
    if (calls[first].call == RegCall::Create && tablesWritten) {
        return true;
    }
    // So are the record of applied rates and what the check after the restart reads and writes:
    // its setting, its marks and its RunOnce entry.
    for (const std::string& quiet : {Upper(applied::kAppliedKey), Upper(confirm::kSinceChangeKey),
                                     Upper(confirm::kRunOnceKey)}) {
        if (Upper(calls[first].keyPath + "\\" + calls[first].name).find(quiet) !=
                std::string::npos ||
            Upper(calls[n].keyPath).find(quiet) != std::string::npos) {
            return true;
        }
    }
    for (std::size_t i = first; i <= last && i < calls.size(); ++i) {
        for (const char* name :
             {confirm::kWantedValue, confirm::kPendingValue, confirm::kFailedValue}) {
            if (calls[i].name == name) {
                return true;
            }
        }
    }
    // The folder of the last undo file is written without a box: it is only a convenience. Its
    // open is for setting a value of the program's own key, and not the version's, which follows
    // the key's creation at start.
    const bool ownKeySet =
        calls[first].call == RegCall::Open && calls[first].access == platform::kKeySetValue &&
        Upper(calls[first].keyPath).find(Upper(registry::kOwnKey)) != std::string::npos &&
        !(first >= 2 && calls[first - 2].call == RegCall::Create);
    if (ownKeySet || (first + 1 < calls.size() && calls[first + 1].call == RegCall::Set &&
                      calls[first + 1].name == registry::kLastUndoFolderValue)) {
        return true;
    }
    const RegCall call = calls[n].call;
    return probe && (call == RegCall::Close || (status == platform::kErrorFileNotFound &&
                                                (call == RegCall::Open || call == RegCall::Query)));
}

struct Family {
    const char* fixture;
    bool detonator40;
};

class FaultSweep : public ::testing::TestWithParam<Family> {};

TEST_P(FaultSweep, EveryCallFailingOnceIsReportedOnceAndChangesNothingElse) {
    const std::string table = ExpectedTable(GetParam().detonator40);
    platform::sim::SimRegistry fixture;
    ASSERT_TRUE(fixture.ImportRegFile(testing::FixturePath(GetParam().fixture)));
    const auto load = [&](platform::sim::SimRegistry& registry) { registry.CopyKeysFrom(fixture); };
    platform::sim::SimRegistry clean;
    load(clean);
    const Snapshot before = TakeSnapshot(clean);
    RunResult cleanRun;
    StartAndApply(clean, &cleanRun);
    ASSERT_EQ(cleanRun.prompt.registryErrors, 0u);
    ASSERT_TRUE(cleanRun.installed);
    ASSERT_EQ(cleanRun.detonator40, GetParam().detonator40);
    const std::vector<RegCallRecord> calls = clean.Calls();
    std::size_t runs = 0;
    for (std::size_t n = 0; n < calls.size(); ++n) {
        for (long status : {5L, 2L, 6L, 234L}) {
            SCOPED_TRACE("call " + std::to_string(n) + " failing with " + std::to_string(status));
            platform::sim::SimRegistry registry;
            load(registry);
            registry.FailCallNumber(n, status);
            RunResult run;
            StartAndApply(registry, &run);
            ++runs;
            ASSERT_EQ(registry.Calls().at(n).status, status);
            // A key that could not be created cannot take the version record either: its write
            // fails on its own and says so.
            const bool created = calls[n].call == RegCall::Create;
            EXPECT_EQ(run.prompt.registryErrors, IsSilent(calls, n, status) ? 0u
                                                 : created                  ? 2u
                                                                            : 1u);
            const Snapshot after = TakeSnapshot(registry);
            for (const std::string& broken : CheckChanges(before, after, table)) {
                ADD_FAILURE() << broken;
            }
            for (const std::string& broken : CheckUndoFile(before, after, run)) {
                ADD_FAILURE() << broken;
            }
            // Rates are recorded as applied only when every value, theirs too, was written.
            EXPECT_FALSE(
                calls[n].call == RegCall::Set &&
                (IsManagedValueName(Upper(calls[n].name)) ||
                 Upper(calls[n].keyPath).find(Upper(applied::kAppliedKey)) != std::string::npos) &&
                registry.GetValue(platform::kHkeyLocalMachine, applied::kAppliedKey,
                                  applied::kGenerationValue));
            // The run goes on to the completion box (then reads the tables back), and the service
            // key, written last and whatever came before, lacks at most the one value whose write
            // failed.
            if (run.installed) {
                const auto& titles = run.prompt.titles;
                EXPECT_NE(std::find(titles.begin(), titles.end(), "Completion"), titles.end());
                EXPECT_GE(
                    std::count_if(
                        registry::kModesDeltaValues.begin(), registry::kModesDeltaValues.end(),
                        [&](const char* name) {
                            const auto value = registry.GetValue(platform::kHkeyLocalMachine,
                                                                 registry::kServiceKey, name);
                            return value && value->data == platform::sim::StringValue(table).data;
                        }),
                    25);
            }
        }
    }
    RecordProperty("runs", static_cast<int>(runs));
    std::printf("%s: %zu calls, %zu runs\n", GetParam().fixture, calls.size(), runs);
}

INSTANTIATE_TEST_SUITE_P(RealShapes, FaultSweep,
                         ::testing::Values(Family{"win2000.reg", false}, Family{"xp.reg", true},
                                           Family{"xp-dualhead.reg", true}),
                         [](const ::testing::TestParamInfo<Family>& info) {
                             std::string name = info.param.fixture;
                             name = name.substr(0, name.find('.'));
                             name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
                             return name;
                         });

// "/apply" with every registry call, and every call that makes a folder or writes a file, failing
// once: the log (or, when the log itself cannot be written, standard error) holds a line for each
// failure, a failure that is not silent gives exit code 1 or 3, and nothing is lost.
TEST(FaultSweep, AnApplyFromTheCommandLineReportsEveryFailureAndLosesNothing) {
    const std::string table = ExpectedTable(true);
    platform::sim::SimRegistry fixture;
    ASSERT_TRUE(fixture.ImportRegFile(testing::FixturePath("xp.reg")));
    const Snapshot before = [&] {
        platform::sim::SimRegistry copy;
        copy.CopyKeysFrom(fixture);
        return TakeSnapshot(copy);
    }();
    struct Run {
        int code = 0;
        std::string log;  // every log file written, one after the other
        std::string standardError;
        std::optional<std::string> undoFile;
        std::vector<RegCallRecord> calls;
        std::size_t fileCalls = 0;
        Snapshot after;
    };
    const auto run = [&](std::optional<std::pair<std::size_t, long>> registryFailure,
                         std::optional<std::size_t> fileFailure) {
        platform::sim::SimRegistry registry;
        registry.CopyKeysFrom(fixture);
        if (registryFailure) {
            registry.FailCallNumber(registryFailure->first, registryFailure->second);
        }
        AnsweringPrompt prompt;
        platform::sim::SimSystemInfo system;
        platform::sim::SimShell shell;
        platform::sim::SimRestart restart;
        platform::sim::SimFiles files;
        if (fileFailure) {
            files.FailCallNumber(*fileFailure, 5);
        }
        platform::Platform services{registry, prompt, system, shell, restart, files};
        Run result;
        result.code =
            app::RunCommandLine(app::ParseCommandLine("/apply 800x600@75,1024x768@85"), services);
        for (const std::string& path : files.Written()) {
            if (path.find("Quorvel-undo-") != std::string::npos) {
                result.undoFile = *files.File(path);
            } else if (result.log.find(*files.File(path)) == std::string::npos) {
                result.log += *files.File(path);
            }
        }
        result.standardError = files.standardError;
        result.calls = registry.Calls();
        result.fileCalls = files.WriteCallCount();
        result.after = TakeSnapshot(registry);
        EXPECT_TRUE(prompt.titles.empty());  // no box, ever
        return result;
    };
    const Run clean = run(std::nullopt, std::nullopt);
    ASSERT_EQ(clean.code, 0) << clean.log;
    const auto check = [&](const Run& r, bool silent) {
        EXPECT_TRUE(r.code == 0 || r.code == 1 || r.code == 3) << r.code;
        if (!silent) {
            EXPECT_NE(r.code, 0) << r.log;
        }
        if (r.code != 0) {
            EXPECT_TRUE(r.log.find("\r\nBox \"Error\"") != std::string::npos ||
                        r.log.find("\r\nRefused: ") != std::string::npos ||
                        !r.standardError.empty())
                << r.log;
        }
        RunResult asRun;
        asRun.undoFile = r.undoFile;
        for (const std::string& broken : CheckChanges(before, r.after, table)) {
            ADD_FAILURE() << broken;
        }
        for (const std::string& broken : CheckUndoFile(before, r.after, asRun)) {
            ADD_FAILURE() << broken;
        }
    };
    for (std::size_t n = 0; n < clean.calls.size(); ++n) {
        for (long status : {5L, 2L}) {
            SCOPED_TRACE("registry call " + std::to_string(n) + " failing with " +
                         std::to_string(status));
            check(run(std::make_pair(n, status), std::nullopt), IsSilent(clean.calls, n, status));
        }
    }
    for (std::size_t n = 0; n < clean.fileCalls; ++n) {
        SCOPED_TRACE("file call " + std::to_string(n) + " failing");
        const Run r = run(std::nullopt, n);
        // A folder or file that fails has the next folder to fall back on: a run may still
        // succeed, with its log whole.
        check(r, true);
        if (r.code == 0) {
            EXPECT_NE(r.log.find("\r\nExit code 0\r\n"), std::string::npos) << r.log;
        }
    }
}

// The same checks on 3,000 random trees from a fixed seed, then on every file in
// tests/fuzz/reproducers/registry/.
TEST(RandomTrees, NoTreeBreaksWhatMustHold) {
    std::mt19937 random(20261207);
    std::vector<std::vector<std::uint8_t>> cases(3000);
    for (auto& bytes : cases) {
        bytes.resize(random() % 160);
        for (auto& b : bytes) {
            b = static_cast<std::uint8_t>(random());
        }
    }
    for (const std::string& data : FuzzFiles("reproducers", "registry")) {
        cases.emplace_back(data.begin(), data.end());
    }
    for (std::size_t i = 0; i < cases.size(); ++i) {
        for (const std::string& broken : CheckRandomTree(cases[i].data(), cases[i].size())) {
            ADD_FAILURE() << "tree " << i << ": " << broken;
        }
    }
}

// A seed changed in one to four places, as a fuzzer's first steps change it: a byte replaced,
// inserted or dropped, a run dropped or repeated, or the tail of another seed put in its place.
std::string Mutate(const std::vector<std::string>& seeds, std::mt19937& random) {
    std::string text = seeds[random() % seeds.size()];
    for (std::size_t step = 1 + random() % 4; step > 0; --step) {
        const std::size_t at = random() % (text.size() + 1);
        const std::size_t run = std::min<std::size_t>(1 + random() % 16, text.size() - at);
        const std::string& other = seeds[random() % seeds.size()];
        // Half the new bytes are any byte, half one that the seeds hold.
        const char byte = random() % 2 != 0 || other.empty() ? static_cast<char>(random())
                                                             : other[random() % other.size()];
        switch (random() % 6) {
            case 0:
                text.replace(at, run == 0 ? 0 : 1, 1, byte);
                break;
            case 1:
                text.insert(at, 1, byte);
                break;
            case 2:
                text.erase(at, 1);
                break;
            case 3:
                text.erase(at, run);
                break;
            case 4:
                text.insert(at, text.substr(at, run));
                break;
            default:
                text = text.substr(0, at) + other.substr(random() % (other.size() + 1));
                break;
        }
    }
    return text;
}

struct ParserTarget {
    const char* name;  // as in tests/fuzz/seeds/ and cmake/fuzz.cmake
    std::vector<std::string> (*check)(const std::uint8_t* bytes, std::size_t size);
};

class ParserFuzz : public ::testing::TestWithParam<ParserTarget> {};

// Each parser's checks on its fuzzer's seeds, on 300 changes of them drawn from a fixed seed, and
// on every file in tests/fuzz/reproducers/<target>/.
TEST_P(ParserFuzz, NoInputBreaksWhatMustHold) {
    const std::vector<std::string> seeds = FuzzFiles("seeds", GetParam().name);
    ASSERT_FALSE(seeds.empty());
    std::vector<std::string> cases = seeds;
    std::mt19937 random(20261208);
    for (int i = 0; i < 300; ++i) {
        cases.push_back(Mutate(seeds, random));
    }
    for (const std::string& reproducer : FuzzFiles("reproducers", GetParam().name)) {
        cases.push_back(reproducer);
    }
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(cases[i].data());
        for (const std::string& broken : GetParam().check(bytes, cases[i].size())) {
            ADD_FAILURE() << "case " << i << ": " << broken;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Parsers, ParserFuzz,
                         ::testing::Values(ParserTarget{"restore", CheckRestore},
                                           ParserTarget{"edid", CheckEdid},
                                           ParserTarget{"modes", CheckModeTables},
                                           ParserTarget{"command_line", CheckCommandLine}),
                         [](const ::testing::TestParamInfo<ParserTarget>& info) {
                             std::string name = info.param.name;
                             name.erase(std::remove(name.begin(), name.end(), '_'), name.end());
                             return name;
                         });

}  // namespace
}  // namespace quorvel::robustness
