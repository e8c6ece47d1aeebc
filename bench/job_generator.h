// Reproducible jobs for benchmarks: containers of a given number of commands in which most
// commands name others (groups, responses, design variables, objective, parameters).
#pragma once

#include "engine/container/KestCmdContainer.h"
#include "engine/vocabulary/KestCmdEnumValues.h"

#include <random>
#include <string>

namespace bench {

/// Fills `c` with about `commands` commands drawn from `seed`: a fifth each groups, design
/// variables, responses and constraints, the rest operators, plus one objective, one OPTIMIZE,
/// OPT_PARAM and STOP. Every command has an ID_NAME and about four items, most naming others.
inline void generate_job(KestCmdContainer& c, int commands, unsigned seed,
                         const KestCmdItemDefs::EnumMap& enums) {
    using namespace KestCmdItemDefs;
    std::mt19937 random(seed);
    const int n = std::max(1, commands / 5);
    const auto pick = [&](const char* prefix) {
        return prefix + std::to_string(random() % static_cast<unsigned>(n));
    };
    for (int i = 0; i < n; ++i) {
        KestCmd& group = c.CreateCommand(KestCmdDefs::GROUP_DEF);
        group.AddAutoItem(ID_NAME, "g" + std::to_string(i), enums);
        group.AddAutoItem(TYPE, "ELEMENT", enums);
        group.AddAutoItem(LIST_BEGIN,
                          std::to_string(i * 100 + 1) + "-" + std::to_string(i * 100 + 100), enums);
    }
    for (int i = 0; i < n; ++i) {
        KestCmd& dv = c.CreateCommand(KestCmdDefs::DV);
        dv.AddAutoItem(ID_NAME, "dv" + std::to_string(i), enums);
        dv.AddAutoItem(TYPE, "DENSITY", enums);
        dv.AddAutoItem(GROUP, pick("g"), enums);
        dv.AddAutoItem(VALUE, "0.5", enums);
    }
    for (int i = 0; i < n; ++i) {
        KestCmd& resp = c.CreateCommand(KestCmdDefs::DRESP);
        resp.AddAutoItem(ID_NAME, "r" + std::to_string(i), enums);
        resp.AddAutoItem(TYPE, i % 7 == 0 ? "VOLUME" : "DISP_X", enums);
        resp.AddAutoItem(GROUP, pick("g"), enums);
        resp.AddAutoItem(LOADCASE, "1", enums);
    }
    for (int i = 0; i < n; ++i) {
        KestCmd& constraint = c.CreateCommand(KestCmdDefs::CONSTRAINT);
        constraint.AddAutoItem(ID_NAME, "c" + std::to_string(i), enums);
        constraint.AddAutoItem(DRESP, pick("r"), enums);
        constraint.AddAutoItem(TYPE, "LESS_EQUAL", enums);
        constraint.AddAutoItem(VALUE, "0.3", enums);
    }
    for (int i = 0; i < commands - 4 * n - 4; ++i) {
        KestCmd& op = c.CreateCommand(KestCmdDefs::OPERATOR);
        op.AddAutoItem(ID_NAME, "op" + std::to_string(i), enums);
        op.AddAutoItem(REFERENCE, pick("r"), enums);
        op.AddAutoItem(REFERENCE, pick("dv"), enums);
        op.AddAutoItem(TYPE, "COMBINE", enums);
    }
    KestCmd& objective = c.CreateCommand(KestCmdDefs::OBJ_FUNC);
    objective.AddAutoItem(ID_NAME, "obj", enums);
    objective.AddAutoItem(DRESP, pick("r"), enums);
    objective.AddAutoItem(TYPE, "MIN", enums);
    KestCmd& param = c.CreateCommand(KestCmdDefs::OPT_PARAM);
    param.AddAutoItem(ID_NAME, "param", enums);
    param.AddAutoItem(STRATEGY, "MMA", enums);
    KestCmd& stop = c.CreateCommand(KestCmdDefs::STOP);
    stop.AddAutoItem(ID_NAME, "stop", enums);
    stop.AddAutoItem(ITER_MAX, "50", enums);
    KestCmd& optimize = c.CreateCommand(KestCmdDefs::OPTIMIZE);
    optimize.AddAutoItem(ID_NAME, "opt", enums);
    optimize.AddAutoItem(OBJ_FUNC, "obj", enums);
    optimize.AddAutoItem(OPT_PARAM, "param", enums);
    optimize.AddAutoItem(STOP, "stop", enums);
}

} // namespace bench
