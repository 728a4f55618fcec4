// Plays an enhanced metafile into a rectangle of a device context, record by record.
#pragma once
#include <windows.h>

// Draws exactly what PlayEnhMetaFile draws. Some writers make an object into a handle slot
// that still holds one; the platform's player then forgets the old object, which would
// outlive every play. Here it is deleted as soon as the device context no longer selects it,
// now or in a state saved during the play that a restore would make current again.
void PlayMetafile(HDC dc, HENHMETAFILE metafile, const RECT& target);
