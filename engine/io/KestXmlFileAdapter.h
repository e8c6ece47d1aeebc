// The names of commands and items in the XML form of a job. The adapter reads no XML: Parse
// leaves the container as it is.
#pragma once

#include "engine/KestCmdEngineExport.h"
#include "engine/container/KestCmdContainer.h"
#include "engine/io/KestCmdIo.h"

#include <string>

/// Matches XML element names to command types and item kinds (exact, case-sensitive; unknown
/// names give CMD_PLACEHOLDER and PLACEHOLDER).
class KEST_CMD_ENGINE_API KestXmlFileAdapter : public KestCmdIoAdapter {
  public:
    KestXmlFileAdapter(const std::wstring& file_name, const KestCmdIoConfig& config);
    KestXmlFileAdapter(const KestXmlFileAdapter& other);
    /// Moves the file name; the keyword map is copied.
    KestXmlFileAdapter(KestXmlFileAdapter&& other);
    ~KestXmlFileAdapter();

    /// Does nothing: the container is not touched and no file is opened.
    void Parse(KestCmdContainer& container);

    /// The command type an XML element name stands for ("FEM_INPUT" is MODEL_INPUT, "CONFIG"
    /// is CONSTRAINT, "CONSTRAINT" is DV_CONSTRAINT, ...).
    static KestCmdDefs::Cmd MatchCmdName(std::string name);
    /// The item kind an XML element name stands for ("EL_GROUP" is GROUP, "LE_VALUE" is VALUE,
    /// "CONSTRAINT" is TYPE, ...).
    static KestCmdItemDefs::CmdItem MatchCmdItemName(std::string name);

    const std::wstring& GetFileName() const { return _file_name; }
    const KestCmdItemDefs::EnumMap& GetEnumMap() const { return _enum_map; }

  private:
    std::wstring _file_name;
    KestCmdItemDefs::EnumMap _enum_map;
};
