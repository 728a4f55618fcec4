// Counts the live GDI objects of this process, also under Wine, where GetGuiResources
// always answers 0: there the process's shared GDI handle table is walked instead (Wine
// clears an entry's type when its object is deleted).
#pragma once

// -1 when neither way is available.
int LiveGdiObjects();
