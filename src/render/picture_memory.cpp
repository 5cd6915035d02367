// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/picture_memory.h"

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>

namespace ombrix
{

namespace
{

// Pictures from this size on get memory of their own.
constexpr std::size_t kOwnMapping = std::size_t{8} << 20;
constexpr std::size_t kHugePage = std::size_t{2} << 20;

struct Mapping {
    void* base;
    std::size_t length;
};

void releaseMapping(void* info)
{
    auto* m = static_cast<Mapping*>(info);
    munmap(m->base, m->length);
    delete m;
}

} // namespace

QImage newPicture(int width, int height)
{
    if (width <= 0 || height <= 0)
        return {};
    const std::size_t perLine = static_cast<std::size_t>(width) * 4;
    const std::size_t bytes = perLine * static_cast<std::size_t>(height);
    if (bytes < kOwnMapping)
        return QImage(width, height, QImage::Format_RGB32);
    const std::size_t length = (bytes + kHugePage - 1) / kHugePage * kHugePage + kHugePage;
    void* base = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base == MAP_FAILED)
        return {};
    const auto start = reinterpret_cast<std::uintptr_t>(base);
    const std::uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
#ifdef MADV_HUGEPAGE
    madvise(reinterpret_cast<void*>(aligned), length - (aligned - start), MADV_HUGEPAGE);
#endif
    auto* info = new Mapping{base, length};
    QImage picture(reinterpret_cast<uchar*>(aligned), width, height,
                   static_cast<qsizetype>(perLine), QImage::Format_RGB32, releaseMapping, info);
    if (picture.isNull())
        releaseMapping(info);
    return picture;
}

} // namespace ombrix
