#include "engine/metadata/KestCmdItemMetaData.h"

using namespace KestCmdItemDefs;

KestCmdItemMetaData::KestCmdItemMetaData(CmdItem itemKind, const std::string& defaultValue,
                                         const std::string& auxText, int auxNumber)
    : item_kind(itemKind), aux_text(auxText), data_type(DT_STRING), default_value(defaultValue),
      aux_flag(0), aux_number(auxNumber) {}

KestCmdItemMetaData::KestCmdItemMetaData(CmdItem itemKind, KestCmdDefs::Cmd refCmd,
                                         const std::string& defaultValue)
    : item_kind(itemKind), data_type(DT_REFERENCE),
      default_value(defaultValue), ref_cmds{refCmd, refCmd}, aux_flag(0), aux_number(1) {}

KestCmdItemMetaData::KestCmdItemMetaData(CmdItem itemKind, DataType dataType,
                                         const std::string& auxText, int auxNumber)
    : item_kind(itemKind), aux_text(auxText), data_type(dataType), aux_flag(1),
      aux_number(auxNumber) {}

KestCmdItemMetaData::KestCmdItemMetaData(const KestCmdItemMetaData& other) = default;

KestCmdItemMetaData::KestCmdItemMetaData(KestCmdItemMetaData&& other)
    : KestCmdItemMetaData(static_cast<const KestCmdItemMetaData&>(other)) {}

KestCmdItemMetaData::~KestCmdItemMetaData() = default;
