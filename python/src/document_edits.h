// Edits of a Document's text through KestParDocument, keeping track of the blocks that Python
// objects stand for. Each edit either applies whole or raises leaving the text as it was.
#pragma once

#include "document_state.h"

#include <string>
#include <utility>
#include <vector>

namespace kestpy {

/// The key of `kind` in the block of `ref` gets the one value `text`: its first line changes and
/// its other lines go; a block without a line of the key gets one.
void set_key(DocState& doc, const BlockRef& ref, KestCmdItemDefs::CmdItem kind,
             const std::string& text);
/// Adds a line of the key of `kind` with `text`, after the block's last line of that kind.
void add_line(DocState& doc, const BlockRef& ref, KestCmdItemDefs::CmdItem kind,
              const std::string& text);
/// Removes every line of the key of `kind`; KeyError when the command has no value of that
/// kind, EditError when no line of the block gives one (the default rules made it).
void remove_key(DocState& doc, const BlockRef& ref, KestCmdItemDefs::CmdItem kind);

/// Adds a block of `type` with the lines `key = value`, after the last block of that type, or
/// at the end of the text when there is none; returns the new block.
BlockRef add_block(DocState& doc, KestCmdDefs::Cmd type,
                   const std::vector<std::pair<std::string, std::string>>& items);
/// Removes the block of `ref`.
void remove_block(DocState& doc, const BlockRef& ref);
/// Gives the command of `ref` the ID_NAME `name`, and every value that refers to it too.
void rename_block(DocState& doc, const BlockRef& ref, const std::string& name);

} // namespace kestpy
