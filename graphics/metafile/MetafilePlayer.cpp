#include "graphics/metafile/MetafilePlayer.h"

#include <vector>

#include "graphics/GdiHandles.h"
#include "graphics/metafile/MetafileRecords.h"

namespace {

// Objects pushed out of their handle slots during one play. One still selected into the
// device context goes on drawing until the metafile selects another; the others are
// deleted at once. Whatever is left goes after the play, which has restored the context.
class DisplacedObjects {
public:
    void Add(HDC dc, HGDIOBJ object) {
        held_.emplace_back(object);
        std::vector<OwnedGdiObject> stillSelected;
        for (OwnedGdiObject& held : held_)
            if (Selected(dc, held.get())) stillSelected.push_back(std::move(held));
        held_.swap(stillSelected);  // the rest are deleted with the old list
    }

private:
    static bool Selected(HDC dc, HGDIOBJ object) {
        for (UINT type : {OBJ_PEN, OBJ_BRUSH, OBJ_FONT, OBJ_PAL})
            if (GetCurrentObject(dc, type) == object) return true;
        return false;
    }
    // At most one of each kind the context can select, once each Add has swept the list.
    std::vector<OwnedGdiObject> held_;
};

int CALLBACK PlayRecord(HDC dc, HANDLETABLE* table, const ENHMETARECORD* record, int handles, LPARAM data) {
    if (mf::CreatesEnhancedObject(record->iType) && record->nSize >= 12) {
        const DWORD slot = record->dParm[0];
        HGDIOBJ* held = table->objectHandle + slot;
        if (slot > 0 && slot < static_cast<DWORD>(handles) && *held) {
            reinterpret_cast<DisplacedObjects*>(data)->Add(dc, *held);
            *held = nullptr;  // the player must not delete it a second time
        }
    }
    PlayEnhMetaFileRecord(dc, table, record, static_cast<UINT>(handles));
    return TRUE;  // as PlayEnhMetaFile, go on after a record that fails
}

}  // namespace

void PlayMetafile(HDC dc, HENHMETAFILE metafile, const RECT& target) {
    DisplacedObjects displaced;
    EnumEnhMetaFile(dc, metafile, PlayRecord, &displaced, &target);
}
