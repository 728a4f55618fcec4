#include "graphics/metafile/MetafilePlayer.h"

#include <algorithm>
#include <array>
#include <vector>

#include "graphics/GdiHandles.h"
#include "graphics/metafile/MetafileRecords.h"

namespace {

// The objects a device context has selected, of each kind a metafile can select.
using Selection = std::array<HGDIOBJ, 4>;
Selection SelectedIn(HDC dc) {
    return {GetCurrentObject(dc, OBJ_PEN), GetCurrentObject(dc, OBJ_BRUSH), GetCurrentObject(dc, OBJ_FONT),
            GetCurrentObject(dc, OBJ_PAL)};
}

// How many states are saved in the device context: the level a SaveDC gives, taken back;
// -1 when it cannot save one.
int SavedStates(HDC dc) {
    const int level = SaveDC(dc);
    if (level > 0) RestoreDC(dc, -1);
    return level - 1;
}

// Objects pushed out of their handle slots during one play. Such an object may still be
// selected, or selected in a state the metafile saved, which a restore makes current again;
// it is deleted once neither is so. Whatever is left goes after the play, which has restored
// the context.
class DisplacedObjects {
public:
    explicit DisplacedObjects(HDC dc) : dc_(dc) {}
    // Before the first record: the states saved before the play are not the metafile's.
    void Start() { statesBefore_ = SavedStates(dc_); }
    void Add(HGDIOBJ object) {
        held_.emplace_back(object);
        Sweep();
    }
    // After a record that saves or restores states: each state saved holds what was selected.
    void StatesChanged() {
        const int now = SavedStates(dc_);
        if (now < 0) return;
        const size_t states = static_cast<size_t>(std::max(now - statesBefore_, 0));
        if (states < saved_.size()) saved_.resize(states);
        while (saved_.size() < states) saved_.push_back(SelectedIn(dc_));
        Sweep();
    }

private:
    void Sweep() {
        if (held_.empty()) return;
        std::vector<Selection> selections = saved_;
        selections.push_back(SelectedIn(dc_));
        auto inUse = [&](const OwnedGdiObject& held) {
            for (const Selection& s : selections)
                if (std::find(s.begin(), s.end(), held.get()) != s.end()) return true;
            return false;
        };
        std::vector<OwnedGdiObject> kept;
        for (OwnedGdiObject& held : held_)
            if (inUse(held)) kept.push_back(std::move(held));
        held_.swap(kept);  // the rest are deleted with the old list
    }

    HDC dc_;
    int statesBefore_ = 0;
    std::vector<Selection> saved_;  // one for each state the metafile saved, the last saved last
    std::vector<OwnedGdiObject> held_;
};

int CALLBACK PlayRecord(HDC dc, HANDLETABLE* table, const ENHMETARECORD* record, int handles, LPARAM data) {
    auto* displaced = reinterpret_cast<DisplacedObjects*>(data);
    if (record->iType == EMR_HEADER) displaced->Start();
    if (mf::CreatesEnhancedObject(record->iType) && record->nSize >= 12) {
        const DWORD slot = record->dParm[0];
        HGDIOBJ* held = table->objectHandle + slot;
        if (slot > 0 && slot < static_cast<DWORD>(handles) && *held) {
            displaced->Add(*held);
            *held = nullptr;  // the player must not delete it a second time
        }
    }
    PlayEnhMetaFileRecord(dc, table, record, static_cast<UINT>(handles));
    if (record->iType == EMR_SAVEDC || record->iType == EMR_RESTOREDC) displaced->StatesChanged();
    return TRUE;  // as PlayEnhMetaFile, go on after a record that fails
}

}  // namespace

void PlayMetafile(HDC dc, HENHMETAFILE metafile, const RECT& target) {
    DisplacedObjects displaced(dc);
    EnumEnhMetaFile(dc, metafile, PlayRecord, &displaced, &target);
}
