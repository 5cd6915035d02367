// SPDX-License-Identifier: GPL-3.0-or-later
// A wallpaper back end that records what it is asked and answers as the
// test says.
#pragma once

#include "wallpaper/wallpaper.h"

#include <string>
#include <utility>
#include <vector>

namespace ombrix::test
{

struct RecordingBackend final : WallpaperBackend {
    DesktopValues start;
    bool readable = true, stretch = true, accept = true;
    std::string note; // what a success says the user should know
    std::string name = "Test";
    // What the session lacks, as a real back end would say before trying.
    std::string cannotApply, cannotRestore;
    MonitorPictures pictures = MonitorPictures::One;
    std::vector<std::pair<std::string, Arrangement>> applied;
    std::vector<std::vector<MonitorFile>> each;
    std::vector<std::string> spanned;
    int restores = 0;

    std::string desktopName() const override { return name; }
    std::string whyCannotApply() const override { return cannotApply; }
    std::string whyCannotRestore() const override { return cannotRestore; }
    WallpaperResult readCurrent() override { return answer(readable); }
    DesktopValues values() const override { return readable ? start : DesktopValues{}; }
    bool canStretch() const override { return stretch; }
    WallpaperResult apply(const std::string& file, Arrangement a) override
    {
        applied.emplace_back(file, a);
        return answer(accept);
    }
    MonitorPictures monitorPictures() const override { return pictures; }
    WallpaperResult applyEach(const std::vector<MonitorFile>& files) override
    {
        each.push_back(files);
        return answer(accept);
    }
    WallpaperResult applySpanned(const std::string& file) override
    {
        spanned.push_back(file);
        return answer(accept);
    }
    WallpaperResult restore() override
    {
        ++restores;
        return answer(accept);
    }
    WallpaperResult answer(bool yes) const
    {
        return yes ? WallpaperResult::success(note) : WallpaperResult::failure("desktop said no");
    }
};

} // namespace ombrix::test
