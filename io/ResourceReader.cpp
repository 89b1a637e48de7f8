#include "io/ResourceReader.h"

#include <cstring>

namespace XP {

bool ResourceReader::open(const char* name) {
    holder.load(name);
    begin = end = current = nullptr;
    // An empty file has no first byte to point at, so it stays closed.
    if (holder.data && holder.size > 0) {
        begin = current = holder.data;
        end = holder.data + holder.size;
    }
    return isOpen();
}

int32_t ResourceReader::read(void* destination, int32_t n) {
    if (!begin || !destination || n <= 0 || current >= end) return 0;
    const auto left = static_cast<int32_t>(end - current);
    const int32_t count = n < left ? n : left;
    std::memcpy(destination, current, static_cast<size_t>(count));
    current += count;
    return count;
}

}  // namespace XP
