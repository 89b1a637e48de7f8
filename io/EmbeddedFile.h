// The table of files carried inside the library. Each file registers itself
// while the library loads; afterwards the table is only read.
#pragma once

#include <cstdint>

struct EmbeddedFile {
    const char* name;
    int32_t size;
    const unsigned char* data;
};

// Appends a static record to the table (called by static initialisers).
void registerEmbeddedFile(EmbeddedFile* file);

// First file whose name equals `name` ignoring ASCII case; null when none.
// `size` is written only when a file is found.
const unsigned char* findEmbeddedFile(const char* name, int32_t* size = nullptr);

// Number of registered files and the i-th one, in registration order.
int32_t embeddedFileCount();
const EmbeddedFile* embeddedFileAt(int32_t index);
// Entries the table has room for before it must grow again.
int32_t embeddedTableCapacity();

// Holder through which other layers use an embedded file.
struct EmbeddedData {
    const unsigned char* data = nullptr;
    int32_t size = 0;
    bool owned = false;

    EmbeddedData() = default;
    EmbeddedData(const EmbeddedData&) = delete;
    EmbeddedData& operator=(const EmbeddedData&) = delete;
    ~EmbeddedData() { release(); }

    // Frees owned data, then points at the named embedded file (null, 0 when
    // it is not found).
    void load(const char* name);
    void release();
};
