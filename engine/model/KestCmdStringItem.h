// The string item: a plain text that offers no other reading.
#pragma once

#include "engine/KestCmdEngineExport.h"
#include "engine/model/KestCmdItem.h"

#include <string>

/// An item holding a text. It never reports a number, list or keyword, even when its text
/// looks like one.
class KEST_CMD_ENGINE_API KestCmdStringItem : public KestCmdItem {
  public:
    explicit KestCmdStringItem(const std::string& text);
    KestCmdStringItem(const KestCmdStringItem& other);
    /// Copies the text; the source keeps its own.
    KestCmdStringItem(KestCmdStringItem&& other);
    ~KestCmdStringItem() override;

    bool HasString() const override;
    std::string GetString() const override;
    std::optional<std::string_view> KeptText() const override { return _text; }
    std::unique_ptr<KestCmdItem> Clone() const override;

  private:
    std::string _text;
};
