// DVD chapters through libdvdread: the disc's titles from VIDEO_TS.IFO, or one title set's own
// titles from its VTS_nn_0.IFO; each chapter (part of title) is a program of a program chain,
// and its length is the sum of its cells' playback times.

#include <cstdarg>
#include <filesystem>
#include <map>
#include <memory>
#include <vector>

#include <dvdread/ifo_read.h>

#include "chapters/chapter_reader.h"
#include "chapters/dvd_cells.h"
#include "core/file.h"
#include "core/file_helpers.h"

namespace varnix {

namespace {

std::optional<int> Bcd(std::uint8_t value) {
    const int high = value >> 4;
    const int low = value & 0x0F;
    if (high > 9 || low > 9) {
        return std::nullopt;
    }
    return high * 10 + low;
}

// libdvdread's messages would go to standard error; the reader reports on its own.
void SilentLog(void*, dvd_logger_level_t, const char*, va_list) {}

struct DvdCloser {
    void operator()(dvd_reader_t* dvd) const { DVDClose(dvd); }
};
struct IfoCloser {
    void operator()(ifo_handle_t* ifo) const { ifoClose(ifo); }
};
using DvdHandle = std::unique_ptr<dvd_reader_t, DvdCloser>;
using IfoHandle = std::unique_ptr<ifo_handle_t, IfoCloser>;

// The chapter lengths of title `ttn` (from 1) of a title set, or a problem.
std::optional<std::vector<ChapterTime>> TitleChapters(const ifo_handle_t& vts, int ttn,
                                                      std::string& why) {
    const vts_ptt_srpt_t* ptts = vts.vts_ptt_srpt;
    const pgcit_t* pgcit = vts.vts_pgcit;
    if (ptts == nullptr || pgcit == nullptr || ttn < 1 || ttn > ptts->nr_of_srpts ||
        ptts->title == nullptr) {
        why = "the title set has no title " + std::to_string(ttn);
        return std::nullopt;
    }
    const ttu_t& title = ptts->title[ttn - 1];
    std::vector<ChapterTime> lengths;
    for (int i = 0; i < title.nr_of_ptts && title.ptt != nullptr; ++i) {
        const ptt_info_t& ptt = title.ptt[i];
        if (ptt.pgcn < 1 || ptt.pgcn > pgcit->nr_of_pgci_srp || pgcit->pgci_srp == nullptr ||
            pgcit->pgci_srp[ptt.pgcn - 1].pgc == nullptr) {
            why = "chapter " + std::to_string(i + 1) + " names program chain " +
                  std::to_string(ptt.pgcn) + ", which the title set does not have";
            return std::nullopt;
        }
        std::string reason;
        const auto length = ProgramLength(*pgcit->pgci_srp[ptt.pgcn - 1].pgc, ptt.pgn, reason);
        if (!length) {
            why = "chapter " + std::to_string(i + 1) + ": " + reason;
            return std::nullopt;
        }
        lengths.push_back(*length);
    }
    if (lengths.empty()) {
        why = "title " + std::to_string(ttn) + " has no chapters";
        return std::nullopt;
    }
    return lengths;
}

ChapterTime Total(const std::vector<ChapterTime>& lengths) {
    ChapterTime total{};
    for (const ChapterTime length : lengths) {
        total = AddTimes(total, length);
    }
    return total;
}

}  // namespace

std::optional<ChapterTime> CellPlaybackTime(const dvd_time_t& time) {
    const auto h = Bcd(time.hour);
    const auto m = Bcd(time.minute);
    const auto s = Bcd(time.second);
    const auto f = Bcd(time.frame_u & 0x3F);
    if (!h || !m || !s || !f || *m >= 60 || *s >= 60) {
        return std::nullopt;
    }
    const int flag = time.frame_u >> 6;
    const ChapterTime whole = *TimeFromFraction((*h * 60 + *m) * 60 + *s, 1);
    if (flag == 1 && *f < 25) {
        return AddTimes(whole, TimeOfFrames(*f, TvSystem::Pal));
    }
    if (flag == 3 && *f < 30) {
        return AddTimes(whole, TimeOfFrames(*f, TvSystem::Ntsc));
    }
    if (whole.ticks == 0 && *f == 0) {
        return whole;
    }
    return std::nullopt;
}

std::optional<ChapterTime> ProgramLength(const pgc_t& pgc, int pgn, std::string& why) {
    if (pgn < 1 || pgn > pgc.nr_of_programs || pgc.program_map == nullptr ||
        pgc.cell_playback == nullptr) {
        why = "program " + std::to_string(pgn) + " is not in its program chain";
        return std::nullopt;
    }
    const int first = pgc.program_map[pgn - 1];
    const int last = pgn < pgc.nr_of_programs ? pgc.program_map[pgn] - 1 : pgc.nr_of_cells;
    if (first < 1 || last > pgc.nr_of_cells || last < first) {
        why = "program " + std::to_string(pgn) + " names cells " + std::to_string(first) + " to " +
              std::to_string(last) + " of " + std::to_string(pgc.nr_of_cells);
        return std::nullopt;
    }
    ChapterTime total{};
    for (int cell = first; cell <= last; ++cell) {
        const cell_playback_t& playback = pgc.cell_playback[cell - 1];
        if (playback.block_type == BLOCK_TYPE_ANGLE_BLOCK &&
            (playback.block_mode == BLOCK_MODE_IN_BLOCK ||
             playback.block_mode == BLOCK_MODE_LAST_CELL)) {
            continue;  // another angle of the same stretch of time
        }
        const auto time = CellPlaybackTime(playback.playback_time);
        if (!time) {
            why = "cell " + std::to_string(cell) +
                  " has a playback time that is not BCD "
                  "with a frame rate of 25 or 29.97";
            return std::nullopt;
        }
        total = AddTimes(total, *time);
    }
    return total;
}

ChapterReadResult ReadDvdChapters(const std::string& path, const ChapterReadOptions& options) {
    // A title set's own IFO file (or its backup) lists only that title set's titles.
    const std::string name = LowerCase(FileNameOf(path));
    int titleSet = 0;
    std::string openPath = path;
    if (!FolderExists(path)) {
        const bool vtsFile =
            name.size() == 12 && name.compare(0, 4, "vts_") == 0 &&
            (name.compare(6, 6, "_0.ifo") == 0 || name.compare(6, 6, "_0.bup") == 0);
        if (vtsFile) {
            titleSet = static_cast<int>(ParseWholeNumber(name.substr(4, 2)).value_or(0));
        }
        if (vtsFile || name == "video_ts.ifo" || name == "video_ts.bup") {
            openPath = FolderOf(path).empty() ? "." : FolderOf(path);
        }
    }
    dvd_logger_cb logger{SilentLog};
    const DvdHandle dvd(DVDOpen2(nullptr, &logger, openPath.c_str()));
    if (!dvd) {
        return ChapterReadResult::Failed(path, 0, "cannot be opened as a DVD");
    }

    // Every title as (title set, title within the set).
    std::vector<std::pair<int, int>> titles;
    std::map<int, IfoHandle> titleSets;
    if (titleSet > 0) {
        IfoHandle vts(ifoOpen(dvd.get(), titleSet));
        if (!vts || vts->vts_ptt_srpt == nullptr) {
            return ChapterReadResult::Failed(path, 0, "not a readable DVD title set IFO file");
        }
        for (int i = 1; i <= vts->vts_ptt_srpt->nr_of_srpts; ++i) {
            titles.emplace_back(titleSet, i);
        }
        titleSets[titleSet] = std::move(vts);
    } else {
        const IfoHandle vmg(ifoOpen(dvd.get(), 0));
        if (!vmg || vmg->tt_srpt == nullptr) {
            return ChapterReadResult::Failed(path, 0,
                                             "no readable VIDEO_TS.IFO (not a DVD video folder, "
                                             "IFO file or disc image)");
        }
        for (int i = 0; i < vmg->tt_srpt->nr_of_srpts && vmg->tt_srpt->title != nullptr; ++i) {
            titles.emplace_back(vmg->tt_srpt->title[i].title_set_nr,
                                vmg->tt_srpt->title[i].vts_ttn);
        }
    }
    if (titles.empty()) {
        return ChapterReadResult::Failed(path, 0, "the DVD has no titles");
    }
    if (options.title < 0 || options.title > static_cast<int>(titles.size())) {
        return ChapterReadResult::Failed(path, 0,
                                         "no title " + std::to_string(options.title) + ": the " +
                                             (titleSet > 0 ? "title set" : "DVD") + " has " +
                                             std::to_string(titles.size()) +
                                             (titles.size() == 1 ? " title" : " titles"));
    }

    // The chapters of each title asked for (all of them when looking for the longest).
    std::optional<std::vector<ChapterTime>> chosen;
    const std::size_t from = options.title > 0 ? static_cast<std::size_t>(options.title - 1) : 0;
    const std::size_t to = options.title > 0 ? from + 1 : titles.size();
    for (std::size_t t = from; t < to; ++t) {
        const auto [set, ttn] = titles[t];
        auto& vts = titleSets[set];
        if (!vts) {
            vts.reset(ifoOpen(dvd.get(), set));
        }
        std::string why;
        const auto lengths =
            vts ? TitleChapters(*vts, ttn, why) : std::optional<std::vector<ChapterTime>>();
        if (!lengths) {
            if (options.title > 0) {
                return ChapterReadResult::Failed(
                    path, 0,
                    "title " + std::to_string(t + 1) + ": " +
                        (vts ? why : "title set " + std::to_string(set) + " cannot be read"));
            }
            continue;  // a broken title is never the longest
        }
        if (!chosen || Total(*lengths) > Total(*chosen)) {
            chosen = lengths;
        }
    }
    if (!chosen) {
        return ChapterReadResult::Failed(path, 0, "no title of the DVD can be read");
    }
    // A chapter of no length (a still cell without a time) gives no duration of its own; the
    // others keep their numbers on the disc.
    ChapterList list;
    list.format = ChapterFormat::DvdIfo;
    ChapterTime start{};
    for (std::size_t i = 0; i < chosen->size(); ++i) {
        if ((*chosen)[i].ticks > 0) {
            list.chapters.push_back({start, "Chapter " + std::to_string(i + 1), {}, 0});
            start = AddTimes(start, (*chosen)[i]);
        }
    }
    if (list.chapters.empty()) {
        return ChapterReadResult::Failed(path, 0, "the title lasts no time");
    }
    list.chapters.back().end = start;
    return CheckedChapterList(std::move(list), path);
}

}  // namespace varnix
