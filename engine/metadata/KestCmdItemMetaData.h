// What is known about one item kind within one command type: its data type, its default text,
// or the command type it refers to.
#pragma once

#include "engine/KestCmdEngineExport.h"
#include "engine/vocabulary/KestCmdDefs.h"
#include "engine/vocabulary/KestCmdItemDefs.h"

#include <string>
#include <vector>

/// One item record. Built in one of three forms: with a default text (data type DT_STRING), as a
/// reference to a command type (DT_REFERENCE, the default text then names the target command),
/// or with a given data type and no default.
struct KEST_CMD_ENGINE_API KestCmdItemMetaData {
    /// The default-text form.
    KestCmdItemMetaData(KestCmdItemDefs::CmdItem itemKind, const std::string& defaultValue,
                        const std::string& auxText, int auxNumber);
    /// The reference form: a missing item is to refer to the command of type `refCmd` named
    /// `defaultValue`.
    KestCmdItemMetaData(KestCmdItemDefs::CmdItem itemKind, KestCmdDefs::Cmd refCmd,
                        const std::string& defaultValue);
    /// The data-type form.
    KestCmdItemMetaData(KestCmdItemDefs::CmdItem itemKind, KestCmdItemDefs::DataType dataType,
                        const std::string& auxText, int auxNumber);
    KestCmdItemMetaData(const KestCmdItemMetaData& other);
    /// Copies every member; the source keeps its contents.
    KestCmdItemMetaData(KestCmdItemMetaData&& other);
    KestCmdItemMetaData& operator=(const KestCmdItemMetaData&) = delete;
    ~KestCmdItemMetaData();

    KestCmdItemDefs::CmdItem item_kind;
    /// A caller's text for the first and third form; not read by this library.
    std::string aux_text;
    KestCmdItemDefs::DataType data_type;
    /// The default text, or for the reference form the name of the default target; empty means
    /// no default.
    std::string default_value;
    /// The referenced command types (reference form only; consumers use the first).
    std::vector<KestCmdDefs::Cmd> ref_cmds;
    /// 1 for the data-type form, 0 otherwise; not read by this library.
    int aux_flag;
    /// A caller's number for the first and third form, 1 for the reference form; not read by
    /// this library.
    int aux_number;
};
