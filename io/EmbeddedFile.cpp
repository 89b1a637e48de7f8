#include "io/EmbeddedFile.h"

#include "io/AsciiText.h"

#include <cstring>
#include <new>

namespace {

// Pointers to the static records, in registration order. Only the pointer
// array is ours to free; the records live in the generated units.
class EmbeddedTable {
public:
    static constexpr int32_t kGrowth = 16;

    EmbeddedTable() = default;
    EmbeddedTable(const EmbeddedTable&) = delete;
    EmbeddedTable& operator=(const EmbeddedTable&) = delete;

    ~EmbeddedTable() {
        delete[] entries;
        // A lookup from a later static destructor then finds nothing instead
        // of reading freed memory.
        entries = nullptr;
        count = 0;
        capacity = 0;
    }

    void append(EmbeddedFile* file) {
        if (count == capacity) {
            auto** grown = new (std::nothrow) EmbeddedFile*[capacity + kGrowth];
            if (!grown) return;
            for (int32_t i = 0; i < count; ++i) grown[i] = entries[i];
            delete[] entries;
            entries = grown;
            capacity += kGrowth;
        }
        entries[count++] = file;
    }

    int32_t size() const { return count; }
    int32_t allocated() const { return capacity; }
    const EmbeddedFile* at(int32_t index) const {
        return index >= 0 && index < count ? entries[index] : nullptr;
    }

private:
    EmbeddedFile** entries = nullptr;
    int32_t count = 0;
    int32_t capacity = 0;
};

EmbeddedTable& table() {
    static EmbeddedTable instance;
    return instance;
}

}  // namespace

void registerEmbeddedFile(EmbeddedFile* file) {
    // A record that could not be read safely is left out rather than found.
    if (!file || !file->name || file->size < 0 || (file->size > 0 && !file->data)) return;
    table().append(file);
}

const unsigned char* findEmbeddedFile(const char* name, int32_t* size) {
    if (!name) return nullptr;
    const EmbeddedTable& files = table();
    for (int32_t i = 0; i < files.size(); ++i) {
        const EmbeddedFile* file = files.at(i);
        if (XP::equalsIgnoringCase(file->name, name)) {
            if (size) *size = file->size;
            return file->data;
        }
    }
    return nullptr;
}

int32_t embeddedFileCount() { return table().size(); }

const EmbeddedFile* embeddedFileAt(int32_t index) { return table().at(index); }

int32_t embeddedTableCapacity() { return table().allocated(); }

void EmbeddedData::load(const char* name) {
    release();
    int32_t found = 0;
    data = findEmbeddedFile(name, &found);
    size = data ? found : 0;
}

void EmbeddedData::release() {
    if (owned) delete[] data;
    data = nullptr;
    size = 0;
    owned = false;
}
