// Save Parameter -> Open Parameter -> Save Parameter over a grid of techniques, mechanisms and
// electrodes, every field the file holds set away from its default: the second file is the first one
// byte for byte, and the simulation that ends the Open gives the curve of the experiment that was
// saved, point for point. Opened in a fresh session, and in a session busy with another experiment.

#include "base/AtomicFile.h"
#include "support/RecordingUserPort.h"
#include "workbench/Commands.h"
#include "workbench/FormCommands.h"
#include "workbench/Workbench.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <unistd.h>

namespace tessaly {
namespace {

namespace fs = std::filesystem;

struct Config {
    int technique;
    int mechanism; // 0: the digital simulation with a following chemical reaction
    int electrode;
};

std::string describe(const Config& c) {
    return "technique " + std::to_string(c.technique) +
           (c.mechanism ? ", mechanism " + std::to_string(c.mechanism) : std::string(", digital")) +
           ", electrode " + std::to_string(c.electrode);
}

// What a run leaves to compare: the programme and the current of the curve it wrote, and what it
// said.
struct Outcome {
    int NPoints = 0, FirstPoint = 0, LastPoint = 0, CurveNo = 0;
    std::vector<double> E, current;
    std::vector<std::string> messages;
    bool operator==(const Outcome&) const = default;
};

// A failure shows the run's shape and its first point, not the object's bytes.
void PrintTo(const Outcome& r, std::ostream* os) {
    *os << "{NPoints " << r.NPoints << ", points " << r.FirstPoint << ".." << r.LastPoint << ", curve "
        << r.CurveNo;
    if (!r.current.empty())
        *os << ", E(0) " << r.E[0] << ", i(0) " << r.current[0] << ", i(last) " << r.current.back();
    for (const std::string& m : r.messages)
        *os << ", \"" << m << "\"";
    *os << "}";
}

Outcome runOf(const Workbench& wb, const RecordingUserPort& port, std::size_t firstMessage) {
    Outcome r;
    const CurveStore& s = wb.store;
    r.NPoints = s.NPoints;
    r.FirstPoint = s.FirstPoint;
    r.LastPoint = s.LastPoint;
    r.CurveNo = s.CurveNo;
    for (int i = 0; i <= s.LastIndex && i <= kMaxPoint; ++i) {
        r.E.push_back(s.E[i]);
        r.current.push_back(s.Curve(i, s.CurveNo));
    }
    for (std::size_t k = firstMessage; k < port.messages.size(); ++k)
        r.messages.push_back(port.messages[k].text);
    return r;
}

// A waveform for technique 10: a triangle from 0.3 V to -0.3 V and back in 10 mV steps of 0.1 s.
std::string triangleWaveform() {
    std::string text;
    for (int k = 0; k <= 120; ++k) {
        const double E = 0.3 - 0.01 * (k <= 60 ? k : 120 - k);
        text += std::to_string(0.1 * k) + "," + std::to_string(E) + "\r\n";
    }
    return text;
}

struct Session {
    RecordingUserPort port;
    std::unique_ptr<Workbench> wb = std::make_unique<Workbench>(port);

    void field(std::string_view name, std::string_view text) {
        ASSERT_EQ(setField(*wb, name, text), FormStatus::Done) << name;
    }
    void check(std::string_view name, bool on) { ASSERT_EQ(setCheck(*wb, name, on), FormStatus::Done) << name; }
    void select(std::string_view group, int n) {
        ASSERT_EQ(selectOption(*wb, group, n), FormStatus::Done) << group << " " << n;
    }
    void openWaveform(const std::string& path) {
        port.fileAnswers.push_back(path);
        ASSERT_TRUE(openWaveformCommand(*wb)) << (port.messages.empty() ? "" : port.messages.back().text);
    }
    Outcome simulate() {
        const std::size_t first = port.messages.size();
        simulateCommand(*wb);
        return runOf(*wb, port, first);
    }
    std::string save(const std::string& path) {
        port.fileAnswers.push_back(path);
        saveParameterCommand(*wb);
        return readWholeFile(path);
    }
    Outcome open(const std::string& path) {
        const std::size_t first = port.messages.size();
        port.fileAnswers.push_back(path);
        openParameterCommand(*wb);
        return runOf(*wb, port, first);
    }
};

// The experiment of one grid point, typed in as a user would, every stored field away from its
// default. Fields are typed so that no later reaction overwrites an earlier value (the frequency
// before the scan rate, the scan rate before the step that sets the drop time).
void configure(Session& s, const Config& c, const std::string& waveform) {
    s.select("optTech", c.technique);
    if (c.mechanism == 0) {
        s.check("CheckDigital", true);
        s.field("chem2(1)", "B"); // B -> C after the charge transfer
        s.field("chem2(3)", "C");
        s.field("charge(14)", "2");
        s.check("CheckAuto", false);
        s.field("TextTimeGrid", "0.02");
        s.field("TextExpanding", "0.4");
    } else {
        s.select("mech", c.mechanism);
    }
    s.select("optElectrode", c.electrode);
    s.field("TextF", "20");
    s.field("Estart", "0.35");
    s.field("Eend", "-0.45");
    s.field("V", "0.02");
    s.field("Estep", "0.004"); // drop time 0.2 s
    s.field("tp", "0.03");
    s.field("Epulse", "0.025");
    s.field("tsa1", "0.75");
    s.field("tsa2", "0.6");
    s.field("txttemp", "30");
    s.field("Noise", "0.5");
    s.select("ComboScan", 1);
    if (c.electrode == 8 || c.electrode == 11) {
        s.field("radius3", "0.065");
        s.field("radius2", "0.045");
    } else {
        s.field("radius2", "0.045");
        s.field("radius3", "0.065");
    }
    s.field("leng", "0.3");
    s.field("radius", "0.04");
    s.field("thickness", "0.002");
    s.field("Rotation", "1200");
    s.check("CheckPreCon", true);
    s.field("txtEPre", "-0.35");
    s.field("txtRStir", "250");
    s.field("txtTPre", "30");
    s.field("txtTpreconst", "2e-3");
    s.field("TxtI0", "1e-8");
    s.field("TxtI1", "-2e-8");
    s.field("Cdl", "2e-6");
    // A solution resistance makes the digital run solve for the charging current at every step,
    // which is too slow for a grid of this size; the analytical grid points carry it.
    if (c.mechanism != 0)
        s.field("txtRu", "3");
    s.check("CheckpH", true);
    s.select("OptionOH", 1);
    s.field("charge(13)", "2");
    s.field("charge(17)", "1");
    s.field("ks(1)", "0.02");
    s.field("alph(1)", "0.42");
    s.field("Eze(1)", "-0.03");
    s.field("ks(2)", "0.5");
    s.field("alph(2)", "0.55");
    s.field("Eze(2)", "-0.2");
    s.field("Eze(3)", "-0.3");
    s.field("kf(1)", "3");
    s.field("kb(1)", "0.4");
    s.field("TextElectrolyte", "NaClO4");
    s.field("TextElectrolyteC", "0.25");
    s.field("TextpH", "8.5");
    s.field("TextVis", "0.012");
    s.field("txtVol", "15");
    s.field("C(1)", "1.5e-3");
    s.field("C(3)", "2e-4");
    s.field("D(1)", "8e-6");
    s.field("D(2)", "6e-6");
    s.field("D(3)", "5e-6");
    s.field("TextB(1)", "2e4");
    s.field("TextG(1)", "2e-9");
    s.field("TextG(2)", "3e-9");
    // Not stored in the file: the designed waveform's vertices and the potential step's duration.
    const char* times[] = {"0", "40", "40", "90", "90", "130"};
    const char* potentials[] = {"0.3", "0.3", "-0.3", "-0.3", "0.2", "0.2"};
    for (int k = 0; k < 6; ++k) {
        s.field("t1(" + std::to_string(k) + ")", times[k]);
        s.field("E1(" + std::to_string(k) + ")", potentials[k]);
    }
    s.field("TextTexp", "20");
    if (c.technique == 10)
        s.openWaveform(waveform);
}

// What the file does not hold, carried into the session that opens it: the designed waveform, the
// potential step's duration and, for technique 10, the waveform read from its own file.
void carryUnstored(Session& from, Session& to, const Config& c, const std::string& waveform) {
    ExperimentParams& target = to.wb->params;
    const ExperimentParams& source = from.wb->params;
    target.t1 = source.t1;
    target.E1 = source.E1;
    target.TextTexp = source.TextTexp;
    if (c.technique == 10) { // a waveform file is read with its technique chosen
        to.select("optTech", 10);
        ASSERT_EQ(okForm(*to.wb, "FormTech"), FormStatus::Done);
        to.openWaveform(waveform);
    }
}

std::vector<Config> grid() {
    std::vector<Config> configs;
    for (int technique = 1; technique <= 10; ++technique) {
        for (const int mechanism : {1, 2, 4, 8, 11, 13, 15, 17})
            for (const int electrode : {1, 2, 3, 4, 7, 8, 9, 11})
                configs.push_back({technique, mechanism, electrode});
        for (const int electrode : {1, 5, 6, 10})
            configs.push_back({technique, 0, electrode});
    }
    return configs;
}

TEST(ParameterRoundTrip, SaveOpenSaveKeepsTheFileAndTheCurve) {
    // The process id keeps two test runs on one machine (two build folders) out of each other's files.
    const fs::path dir = fs::temp_directory_path() / ("tessaly-parameter-round-trip-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string waveform = (dir / "triangle.csv").string();
    {
        std::FILE* f = std::fopen(waveform.c_str(), "wb");
        const std::string text = triangleWaveform();
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    const std::string saved = (dir / "saved.par").string();
    const std::string again = (dir / "again.par").string();
    int refusedRuns = 0;
    std::unique_ptr<Session> busy; // the session of the previous grid point
    for (const Config& c : grid()) {
        SCOPED_TRACE(describe(c));
        auto original = std::make_unique<Session>();
        configure(*original, c, waveform);
        const Outcome before = original->simulate();
        const std::string file = original->save(saved);
        refusedRuns += before.messages.empty() ? 0 : 1;

        Session fresh;
        carryUnstored(*original, fresh, c, waveform);
        EXPECT_EQ(fresh.open(saved), before) << "opened in a fresh session";
        EXPECT_EQ(fresh.save(again), file) << "saved again from a fresh session";

        if (busy) {
            carryUnstored(*original, *busy, c, waveform);
            const Outcome reopened = busy->open(saved);
            // A combination without a model computes nothing, so a busy session keeps the curve it had.
            if (before.CurveNo > 0) {
                EXPECT_EQ(reopened, before) << "opened in a session busy with another experiment";
            }
            EXPECT_EQ(busy->save(again), file) << "saved again from a busy session";
        }
        busy = std::move(original);
    }
    // The grid is meant to exercise curves, not refusals: most grid points simulate without a word.
    EXPECT_LT(refusedRuns, static_cast<int>(grid().size()) / 2);
    fs::remove_all(dir);
}

} // namespace
} // namespace tessaly
