/* The import slots of every export, generated from Quillon.def at build time. */
#ifndef IMPORT_TABLE_H
#define IMPORT_TABLE_H

struct ImportSlot {
    const char* name;
    void** slot; /* filled by the loader with the address it bound the name to */
};

extern const struct ImportSlot importSlots[];
extern const int importSlotCount;

#endif
