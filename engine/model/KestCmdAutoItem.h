// The auto item: a value text typed once, when the item is built, into every reading it admits.
#pragma once

#include "engine/KestCmdEngineExport.h"
#include "engine/model/KestCmdItem.h"

#include <cstdint>
#include <string>
#include <vector>

/// An item built from a value text. The text is trimmed and kept; then each reading is worked
/// out once and kept with a flag:
/// - integer: the whole text is a decimal integer that fits `int` (it is then also a real);
/// - real: the whole text is a decimal number ("2.5", "1e-3", "7");
/// - 3-vector: the text is not quoted and splits at ',' into exactly three numbers; the parts
///   are not trimmed, so "1, 0, 0" is no vector (its list reading still is [1, 0, 0]);
/// - keyword: the value exactly as passed (untrimmed, case-sensitive) is a key of the enum map;
/// - list: the parts between ',' trimmed; an empty text has none;
/// - integer list: the text is not quoted and reads as an integer list (an empty text reads as
///   the empty list);
/// - reference: only after AddReference.
/// A getter returns its value whatever the flag says; a failed reading leaves its initial value
/// (for the 3-vector, the components that were read).
///
/// The item keeps the text, the flags and the enum value. The numbers, list, 3-vector and
/// integer list readings are worked out from the text again when asked for (the text was
/// checked once, so they are exactly what typing found). A text of up to 10 bytes is kept in
/// the item itself, a longer one in memory of its own from the item pool, so that an item takes
/// 32 bytes and most take no more: jobs hold millions of them.
class KEST_CMD_ENGINE_API KestCmdAutoItem : public KestCmdItem {
  public:
    /// Types `value` with `enums`, which is not kept.
    KestCmdAutoItem(const std::string& value, const KestCmdItemDefs::EnumMap& enums);
    KestCmdAutoItem(const KestCmdAutoItem& other);
    KestCmdAutoItem& operator=(const KestCmdAutoItem& other);
    ~KestCmdAutoItem() override;

    bool HasString() const override;
    std::string GetString() const override;
    std::optional<std::string_view> KeptText() const override { return Text(); }
    bool HasInteger() const override;
    int GetInteger() const override;
    bool HasReal() const override;
    double GetReal() const override;
    bool HasVector3d() const override;
    KestMatrix<3, 1, double> GetVector3d() const override;
    bool HasEnum() const override;
    KestCmdItemDefs::EnumValue GetEnum() const override;
    bool HasList() const override;
    std::vector<std::string> GetList() const override;
    bool HasLumoList() const override;
    LumoList<int> GetLumoList() const override;
    /// True once a reference was added (and it is not null).
    bool HasReference() const override;
    const KestCmd* GetReference() const override;
    /// The flag of `type` alone; false for DT_RESERVED and numbers outside the enumeration.
    bool HasType(KestCmdItemDefs::DataType type) const override;
    /// Adds (or re-points) the reference reading; the text and other readings stay.
    void AddReference(const KestCmd& target) override;
    std::unique_ptr<KestCmdItem> Clone() const override;

  private:
    /// The text, trimmed.
    std::string_view Text() const {
        return _near != far ? std::string_view(_text, _near)
                            : std::string_view(Far() + sizeof(std::size_t), FarSize());
    }
    /// The memory of a far text.
    const char* Far() const;
    std::size_t FarSize() const;
    /// Keeps `text` (in the item or in memory of its own).
    void Keep(std::string_view text);
    /// Gives back the memory of a text kept outside the item.
    void Release() noexcept;
    bool Has(KestCmdItemDefs::DataType type) const;
    void Set(KestCmdItemDefs::DataType type);

    const KestCmd* _reference = nullptr;
    /// A text of up to 10 bytes, or the address of a longer one's memory: its size (a
    /// std::size_t), then its bytes.
    alignas(char*) char _text[10];
    std::uint8_t _near = 0;     ///< the size of a text kept in `_text`, or `far`
    std::uint8_t _readings = 0; ///< a bit per reading present, see Has
    KestCmdItemDefs::EnumValue _enum = KestCmdItemDefs::EV_UNSET;
    static constexpr std::uint8_t far = 0xFF;
};
