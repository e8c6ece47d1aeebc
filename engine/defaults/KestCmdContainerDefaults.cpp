#include "engine/defaults/KestCmdContainerDefaults.h"

using namespace KestCmdItemDefs;

KestCmdContainerDefaults::KestCmdContainerDefaults(const KestCmdContainerDefaults& other) = default;
KestCmdContainerDefaults&
KestCmdContainerDefaults::operator=(const KestCmdContainerDefaults& other) = default;

KestCmdContainerDefaults::KestCmdContainerDefaults(KestCmdContainerDefaults&& other) noexcept
    : _value_rules(std::move(other._value_rules)),
      _manipulator_rules(std::move(other._manipulator_rules)) {
    other._value_rules.clear();
    other._manipulator_rules.clear();
}

KestCmdContainerDefaults&
KestCmdContainerDefaults::operator=(KestCmdContainerDefaults&& other) noexcept {
    if (this != &other) {
        _value_rules = std::move(other._value_rules);
        _manipulator_rules = std::move(other._manipulator_rules);
        other._value_rules.clear();
        other._manipulator_rules.clear();
    }
    return *this;
}

KestCmdContainerDefaults::~KestCmdContainerDefaults() = default;

void KestCmdContainerDefaults::AddDefaultValueRule(const DefaultValueRule& rule) {
    _value_rules.push_back(rule);
}

void KestCmdContainerDefaults::AddContainerManipulatorRule(
    void (*const& manipulator)(KestCmdContainer&, const EnumMap&)) {
    _manipulator_rules.push_back(manipulator);
}

void KestCmdContainerDefaults::ApplyRules(KestCmdContainer& container, const EnumMap& enums) const {
    const auto& names = KestCmdDefs::get_default_cmd_names();
    for (const DefaultValueRule& rule : _value_rules) {
        if (rule.create_default && !container.HasCommand(rule.cmd)) {
            container.CreateCommand(rule.cmd).AddStringItem(ID_NAME,
                                                            "__DEFAULT_" + names[rule.cmd]);
        }
        // By index: a rule may create commands of its own type while it runs.
        for (std::size_t i = 0; i < container.GetNumberOfCommands(rule.cmd); ++i) {
            KestCmd* cmd = *(container.GetCommandBegin(rule.cmd) + static_cast<std::ptrdiff_t>(i));
            if (cmd != nullptr) {
                rule.apply(*cmd, container, enums);
            }
        }
    }
    for (ContainerManipulator manipulator : _manipulator_rules) {
        manipulator(container, enums);
    }
}
