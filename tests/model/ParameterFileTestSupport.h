#pragma once
// Shared pieces of the parameter-file tests: the golden files and a target that applies the values
// straight into an experiment, recording the order in which they arrive.

#include "model/FieldTable.h"
#include "model/ParameterFile.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace tessaly::testing {

inline std::string goldenFile(const std::string& name) {
    std::ifstream in(std::string(TESSALY_TEST_DATA) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Writes every value into the named field without any dialog reaction.
class PlainTarget : public ParameterTarget {
public:
    explicit PlainTarget(ExperimentParams& p) : m_p(p) {}
    std::vector<std::string> calls; // "select optTech 2", "text Estart", "check CheckPreCon 1", ...

    bool select(std::string_view group, int n) override {
        calls.push_back("select " + std::string(group) + " " + std::to_string(n));
        if (group == "OptionH" || group == "OptionOH") {
            *std::get<bool*>(*findField(m_p, group)) = n != 0;
            return true;
        }
        *std::get<int*>(*findField(m_p, group)) = n;
        return true;
    }
    bool setText(std::string_view name, std::string_view text) override {
        calls.push_back("text " + std::string(name));
        const auto field = findField(m_p, name);
        if (!field)
            return false;
        *std::get<std::string*>(*field) = std::string(text);
        return true;
    }
    bool setCheck(std::string_view name, bool checked) override {
        calls.push_back("check " + std::string(name) + (checked ? " 1" : " 0"));
        *std::get<bool*>(*findField(m_p, name)) = checked;
        return true;
    }
    bool setCount(std::string_view name, int count) override {
        calls.push_back("count " + std::string(name) + " " + std::to_string(count));
        *std::get<int*>(*findField(m_p, name)) = count;
        return true;
    }
    bool restoreText(std::string_view name, std::string_view text) override {
        calls.push_back("restore " + std::string(name));
        const auto field = findField(m_p, name);
        if (!field)
            return false;
        *std::get<std::string*>(*field) = std::string(text);
        return true;
    }

private:
    ExperimentParams& m_p;
};

// The experiment of tests/data/ec.par: an EC mechanism (7) at a spherical electrode with the pH
// effect, an adsorbed charge reaction and an empty product name.
inline ExperimentParams ecExperiment() {
    ExperimentParams p;
    p.Technique = 2;
    p.Estart = "0.2";
    p.Eend = "-0.6";
    p.Estep = "0.002";
    p.V = "0.1";
    p.td = "0.02";
    p.txttemp = "30";
    p.ComboScan = 1;
    p.Electrode = 2;
    p.ARE = "3.14e-2";
    p.CheckPreCon = true;
    p.Mechanism = 7;
    p.CheckpH = true;
    p.OptionH = false;
    p.OptionOH = true;
    p.NumCharge = 1;
    p.charge[14] = "2";
    p.charge[16] = "";
    p.CheckAdsorb[1] = true;
    p.NumChem = 1;
    p.chem2[1] = "B";
    p.chem2[2] = "";
    p.chem2[3] = "C";
    p.chem2[4] = "";
    p.NumSpecies = 3;
    p.C[1] = "2e-3";
    p.Cinit[1] = "2e-3";
    p.D[2] = "7e-6";
    p.kineticsForm.heter[1] = "A + 2e=B";
    p.ks[1] = "0.01";
    p.Eze[1] = "-0.2";
    p.kineticsForm.homo[1] = "B->C";
    p.TextElectrolyte = "KNO3";
    p.TextElectrolyteC = "0.1";
    p.TextpH = "9";
    return p;
}

} // namespace tessaly::testing
