// The reference item: a link to another command, printed as that command's name.
#pragma once

#include "engine/KestCmdEngineExport.h"
#include "engine/model/KestCmdItem.h"

/// An item that points at a command it does not own. The command must outlive the item.
class KEST_CMD_ENGINE_API KestCmdReferenceItem : public KestCmdItem {
  public:
    explicit KestCmdReferenceItem(const KestCmd& target);
    KestCmdReferenceItem(const KestCmdReferenceItem& other);
    KestCmdReferenceItem& operator=(const KestCmdReferenceItem& other);
    ~KestCmdReferenceItem() override;

    /// The text of the first ID_NAME item of the referenced command, or empty text when there
    /// is none.
    std::string GetString() const override;
    bool HasReference() const override;
    const KestCmd* GetReference() const override;
    /// Re-points the item at `target`.
    void AddReference(const KestCmd& target) override;
    std::unique_ptr<KestCmdItem> Clone() const override;

  private:
    const KestCmd* _reference;
};
