#include "engine/io/KestXmlFileAdapter.h"

#include <utility>

namespace {

template <class Value, std::size_t N>
Value match(const std::pair<const char*, Value> (&table)[N], const std::string& name,
            Value fallback) {
    for (const auto& [text, value] : table) {
        if (name == text) {
            return value;
        }
    }
    return fallback;
}

} // namespace

KestXmlFileAdapter::KestXmlFileAdapter(const std::wstring& file_name, const KestCmdIoConfig& config)
    : _file_name(file_name), _enum_map(config.enum_map) {}
KestXmlFileAdapter::KestXmlFileAdapter(const KestXmlFileAdapter& other) = default;
KestXmlFileAdapter::KestXmlFileAdapter(KestXmlFileAdapter&& other)
    : KestCmdIoAdapter(other), _file_name(std::move(other._file_name)), _enum_map(other._enum_map) {
    other._file_name.clear();
}
KestXmlFileAdapter::~KestXmlFileAdapter() = default;

void KestXmlFileAdapter::Parse(KestCmdContainer&) {}

KestCmdDefs::Cmd KestXmlFileAdapter::MatchCmdName(std::string name) {
    using namespace KestCmdDefs;
    static const std::pair<const char*, Cmd> table[] = {
        {"FEM_INPUT", MODEL_INPUT}, {"MODEL_INPUT", MODEL_INPUT},
        {"GROUP_DEF", GROUP_DEF},   {"DV_TOPO", DV},
        {"DRESP", DRESP},           {"OBJ_FUNC", OBJ_FUNC},
        {"CONFIG", CONSTRAINT},     {"CONSTRAINT", DV_CONSTRAINT},
        {"SMOOTH", MESH_SMOOTH},    {"OPTIMIZE", OPTIMIZE},
        {"OPT_PARAM", OPT_PARAM},   {"STOP", STOP},
        {"USER_FILE", OUTPUT},
    };
    return match(table, name, CMD_PLACEHOLDER);
}

KestCmdItemDefs::CmdItem KestXmlFileAdapter::MatchCmdItemName(std::string name) {
    using namespace KestCmdItemDefs;
    static const std::pair<const char*, CmdItem> table[] = {
        {"ID_NAME", ID_NAME},
        {"TYPE", TYPE},
        {"FILE", KestCmdItemDefs::FILE},
        {"FILE_NAME", KestCmdItemDefs::FILE},
        {"FILE_OPTION", ADD_FILE},
        {"EL_GROUP", GROUP},
        {"DRESP", DRESP},
        {"TARGET", TARGET},
        {"LE_VALUE", VALUE},
        {"CONSTRAINT", TYPE},
        {"LIST_BEGIN", LIST_BEGIN},
    };
    return match(table, name, PLACEHOLDER);
}
