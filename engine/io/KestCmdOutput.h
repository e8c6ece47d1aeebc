// Writing a container as text: a header line, one block per command (opening line, item lines,
// closing line, empty line) and a footer line. Subclasses decide how commands and items read.
#pragma once

#include "engine/KestCmdEngineExport.h"
#include "engine/container/KestCmdContainer.h"

#include <array>
#include <cstdio>
#include <string>

/// The writer skeleton. It reads the container it was given, which must outlive it.
class KEST_CMD_ENGINE_API KestCmdOutput {
  public:
    KestCmdOutput(const KestCmdOutput& other);
    /// Copies the container pointer and the file name.
    KestCmdOutput(KestCmdOutput&& other);
    virtual ~KestCmdOutput();

    /// Writes the whole container to the file given at construction, opened with `mode` ("w"
    /// to replace, "a" to append, ...): commands in iteration order, each item line indented by
    /// two blanks, item kinds in increasing order. Throws ZUL_Failure naming the file and the
    /// reason when the file cannot be opened, written or closed; lines written before a failure
    /// may stay in the file. An exception from a virtual (GetItem, ...) passes to the caller
    /// unchanged, after the lines before it were written to the file.
    void Write(const std::wstring& mode) const;
    /// Writes the whole container to `stream`, which stays open (standard output, for one).
    /// Throws ZUL_Failure naming the file given at construction when writing fails or `stream`
    /// is null. An exception from a virtual passes to the caller unchanged, after the lines
    /// before it were written to `stream`.
    void Write(std::FILE* stream) const;

  protected:
    KestCmdOutput(const std::wstring& file_name, const KestCmdContainer& container);

    virtual std::string GetHeader() const;
    virtual std::string GetFooter() const;
    /// The opening and closing line of a command.
    virtual std::array<std::string, 2> GetCommand(const KestCmd& cmd) const = 0;
    /// The text of one item line, without indentation.
    virtual std::string GetItem(KestCmdItemDefs::CmdItem item, const KestCmdItem& value) const = 0;

  private:
    /// Appends the item lines of `cmd` to `text`.
    void WriteItems(const KestCmd& cmd, std::string& text) const;

    const KestCmdContainer* _container;
    std::wstring _file_name;
};

/// Writes the parameter-file syntax that KestParFileAdapter reads.
class KEST_CMD_ENGINE_API KestCmdParOutput : public KestCmdOutput {
  public:
    /// `cmd_names` and `item_names` are the keywords and keys to write, indexed by command type
    /// and item kind; KestCmdDefs::get_default_cmd_names() and KestCmdItemDefs::default_item_names
    /// give the standard syntax.
    KestCmdParOutput(const std::wstring& file_name, const KestCmdContainer& container,
                     std::array<std::string, KestCmdDefs::cmd_type_count> cmd_names,
                     std::array<std::string, KestCmdItemDefs::item_kind_count> item_names);
    KestCmdParOutput(const KestCmdParOutput& other);
    KestCmdParOutput(KestCmdParOutput&& other);
    ~KestCmdParOutput() override;

  protected:
    /// [keyword of the command's type, "END_"].
    std::array<std::string, 2> GetCommand(const KestCmd& cmd) const override;
    /// "KEY = value", the value being the item's text.
    std::string GetItem(KestCmdItemDefs::CmdItem item, const KestCmdItem& value) const override;

  private:
    std::array<std::string, KestCmdDefs::cmd_type_count> _cmd_names;
    std::array<std::string, KestCmdItemDefs::item_kind_count> _item_names;
};
