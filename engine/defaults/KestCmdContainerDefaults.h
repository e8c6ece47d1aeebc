// The rule engine that completes a job: per-command rules in a fixed order, then container
// manipulators.
#pragma once

#include "engine/KestCmdEngineExport.h"
#include "engine/container/KestCmdContainer.h"
#include "engine/vocabulary/KestCmdEnumValues.h"

#include <functional>
#include <vector>

/// An ordered list of rules. ApplyRules runs each rule, in order, over every command of its
/// type, in one pass; a rule sees what earlier rules did, never what later ones do. A default
/// constructed object holds the standard rules: default values of DRESP, OPERATOR,
/// CONSTRAINT, DV_UPDATE_PARAM, SCALING_CURVE and FILTER, the default update-parameter command
/// and the reference of OPTIMIZE to it.
class KEST_CMD_ENGINE_API KestCmdContainerDefaults {
  public:
    /// A rule for the commands of one type.
    struct DefaultValueRule {
        KestCmdDefs::Cmd cmd;
        /// Completes one command of type `cmd`.
        std::function<void(KestCmd&, const KestCmdContainer&, const KestCmdItemDefs::EnumMap&)>
            apply;
        /// When set and the container holds no command of type `cmd`, one is created first,
        /// named "__DEFAULT_" followed by the type's default name.
        bool create_default;
    };

    /// Changes a container as a whole; runs after all value rules.
    using ContainerManipulator = void (*)(KestCmdContainer&, const KestCmdItemDefs::EnumMap&);

    /// The standard rules, no manipulators.
    KestCmdContainerDefaults();
    KestCmdContainerDefaults(const KestCmdContainerDefaults& other);
    KestCmdContainerDefaults& operator=(const KestCmdContainerDefaults& other);
    /// Takes the rules over; the source is left without rules.
    KestCmdContainerDefaults(KestCmdContainerDefaults&& other) noexcept;
    KestCmdContainerDefaults& operator=(KestCmdContainerDefaults&& other) noexcept;
    ~KestCmdContainerDefaults();

    void AddDefaultValueRule(const DefaultValueRule& rule);
    void AddContainerManipulatorRule(void (*const& manipulator)(KestCmdContainer&,
                                                                const KestCmdItemDefs::EnumMap&));

    /// Runs every rule, then every manipulator, over `container`. A rule with an empty callable
    /// throws std::bad_function_call when it meets a command. Nothing is rolled back on a
    /// failure: what earlier rules did stays.
    void ApplyRules(KestCmdContainer& container, const KestCmdItemDefs::EnumMap& enums) const;

    const std::vector<DefaultValueRule>& GetDefaultValueRules() const { return _value_rules; }
    const std::vector<ContainerManipulator>& GetContainerManipulatorRules() const {
        return _manipulator_rules;
    }

  private:
    std::vector<DefaultValueRule> _value_rules;
    std::vector<ContainerManipulator> _manipulator_rules;
};

/// The rules a parameter-file reader completes a job with: the standard rules, then eight that
/// copy the OPT_PARAM settings (named by the first OPTIMIZE) into DV and DV_UPDATE_PARAM commands,
/// and one that links the OPTIMIZE to the first DV_UPDATE_PARAM.
KEST_CMD_ENGINE_API KestCmdContainerDefaults reader_default_rules();
