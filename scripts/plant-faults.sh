#!/usr/bin/env bash
# Plants faults in the product code one at a time and tells whether the Linux
# unit tests catch each one: the check that a smaller test suite still guards
# what the larger one did.
#
#   scripts/plant-faults.sh [--list] [OUT] [ID...]
#
# Each fault is one small edit of one product file (a wrong comparison, a
# skipped step, an off-by-one, a swapped argument, a missing reset, a wrong
# constant). For each: the edit is applied (and checked to have applied), the
# unit tests are rebuilt incrementally and run, the result is written, and the
# file is restored with git checkout. OUT (default build/faults.txt) gets one
# line a fault: id, layer, file, caught/missed, what it plants, the failing tests.
# With IDs, only those faults are planted. The build tree must be configured
# (cmake --preset linux) and the planted files must have no local changes.
set -uo pipefail
cd "$(dirname "$0")/.."

list_only=0
[[ ${1:-} == --list ]] && list_only=1 && shift
out=${1:-build/faults.txt}
[[ $# -gt 0 ]] && shift
wanted=("$@")

ids=() layers=() files=() olds=() news=() whats=()
# fault ID LAYER FILE OLD NEW WHAT: OLD must occur exactly once in FILE.
fault() { ids+=("$1") layers+=("$2") files+=("$3") olds+=("$4") news+=("$5") whats+=("$6"); }

fault P1 platform platform/work_queue.cpp 'const auto place = job.urgent' 'const auto place = false' \
  'urgent jobs queue at the back'
fault P2 platform platform/event_loop_glib.cpp 'return g_main_depth() == depth ? std::min(now, limit) : now;' \
  'return now;' 'a yield runs timers that came due during it'
fault P3 platform platform/show_timers.cpp $'  running_ = false;\n  // Destroying' $'  // Destroying' \
  'stopping the timers leaves them marked running'
fault P4 platform platform/work_queue.cpp $'std::move(state->jobs.front());\n    state->jobs.pop_front();' \
  $'std::move(state->jobs.back());\n    state->jobs.pop_back();' 'jobs run newest first'
fault S1 settings settings/settings_io.cpp 'return n > 500 && n < 65000;' 'return n >= 500 && n < 65000;' \
  'interval 500 accepted'
fault S2 settings settings/settings_io.cpp 'if (s.caption == CaptionPosition::Off) s.caption_shows_size = false;' '' \
  'size shown without a caption'
fault S3 settings settings/registry.cpp 'i + 1 < length; ++i) {' 'i < length; ++i) {' \
  'multi-string text keeps its terminator'
fault S4 settings settings/reading_rules.cpp 'LeadingNumber(text) > 0;' 'LeadingNumber(text) >= 0;' \
  'boolean rule: 0 counts as yes'
fault S5 settings settings/reg_file.cpp 'digits.size() > 8) return false;' 'digits.size() > 9) return false;' \
  '.reg dword of nine digits accepted'
fault D1 decode decode/row_reducer.cpp '(sums_[x * 4 + c] + n / 2) / n' 'sums_[x * 4 + c] / n' \
  'row reducer truncates instead of rounding'
fault D2 decode decode/bmp_rows.cpp 'bottom_up_ ? static_cast<std::uint64_t>(height_ - 1 - y) : y' \
  '!bottom_up_ ? static_cast<std::uint64_t>(height_ - 1 - y) : y' 'BMP row order swapped'
fault D3 decode decode/exif_orientation.cpp 'value >= 1 && value <= 8 ?' 'value >= 1 && value <= 9 ?' \
  'EXIF orientation 9 accepted'
fault D4 decode decode/metafile_records.cpp 'if (record_words < 3 ||' 'if (record_words < 2 ||' \
  'metafile record of two words passes'
fault D5 decode decode/picture_layout.cpp $'    height /= 10;\n' '' \
  'preview scale forgets the height'
fault D6 decode decode/picture_decoder.cpp $'  if (SwapsSides(header.orientation)) std::swap(target_width, target_height);\n' '' \
  'a quarter-turned photo reduced to the target unturned'
fault R1 render render/caption.cpp 'top ? StringAlignment::Far : StringAlignment::Near, 0,' \
  'top ? StringAlignment::Near : StringAlignment::Far, 0,' 'overlay takes the caption'"'"'s edge'
fault R2 render render/caption.cpp 'text.scan_done ? kScanDoneColour : kScanningColour' \
  'text.scan_done ? kScanningColour : kScanDoneColour' 'overlay colours swapped'
fault R3 render render/picture_cache.cpp $'used_ -= entries_.back().picture->bytes;\n    entries_.pop_back();' \
  $'used_ -= entries_.front().picture->bytes;\n    entries_.pop_front();' 'cache evicts the most recently used'
fault R4 render render/graphics.cpp 'const std::uint32_t token = std::exchange(token_, 0);' \
  'const std::uint32_t token = token_;' 'graphics session never forgets its token'
fault R5 render render/renderer.cpp 'red = c & 0xFF, green = (c >> 8) & 0xFF, blue = (c >> 16) & 0xFF' \
  'blue = c & 0xFF, green = (c >> 8) & 0xFF, red = (c >> 16) & 0xFF' 'colour channels swapped'
fault R6 render render/caption.cpp 'if (!family || !family->IsStyleAvailable' 'if (family && !family->IsStyleAvailable' \
  'text drawn without a font'
fault C1 catalogue catalogue/catalogue.cpp $'      if (*cancelled) return;\n' '' \
  'a stop is not seen inside a folder'
fault C2 catalogue catalogue/catalogue.cpp 'const std::string include = WithSeparator(line, separator);' \
  'const std::string include = line;' 'include folders without their separator'
fault C3 catalogue catalogue/admission.cpp 'size.width >= minimum.min_width' 'size.width > minimum.min_width' \
  'size filter refuses the exact width'
fault C4 catalogue catalogue/admission.cpp '(ratio < kWideRatio)' '(ratio <= kWideRatio)' \
  '3:2 counts as narrow'
fault C5 catalogue catalogue/shell_link.cpp "if (path.size() > 2 && path[2] != '\\\\' && path[2] != '/') return {};" '' \
  'drive-relative link paths mapped'
fault C6 catalogue catalogue/file_system_posix.cpp '      default: return false;' \
  '      default: *attributes = kFileArchive; return true;' 'pipes and devices listed'
fault C7 catalogue catalogue/admission.cpp 'PictureSize size{static_cast<float>(UprightWidth(header)), static_cast<float>(UprightHeight(header))};' \
  'PictureSize size{static_cast<float>(header.width), static_cast<float>(header.height)};' 'photos measured as stored, not upright'
fault E1 reader reader/share_watch.cpp 'offline.back_off * 2' 'offline.back_off' \
  'a share that stays offline is not waited on longer'
fault E2 reader reader/share_watch.cpp $'  offline_.erase(share);\n' '' \
  'a share that answers stays offline'
fault E3 reader reader/reader_connection.cpp 'attempt < 2; ++attempt' 'attempt < 1; ++attempt' \
  'a call to a reader that has ended is not retried'
fault E4 reader reader/reader_messages.cpp 'orientation < 1 ||' 'orientation < 0 ||' \
  'a header answer with orientation 0 accepted'
fault Q1 sequence sequence/picture_order.cpp 'if (index >= count) index %= count;' 'if (index > count) index %= count;' \
  'order runs past the list end'
fault Q2 sequence sequence/picture_order.cpp \
  $'  const std::int32_t j = random ? RandomRange(current_index_, static_cast<std::int32_t>(count - 1)) : 0;\n  if (index < 0) return "";' \
  $'  if (index < 0) return "";\n  const std::int32_t j = random ? RandomRange(current_index_, static_cast<std::int32_t>(count - 1)) : 0;' \
  'a place before the list takes no draw'
fault Q3 sequence sequence/slide_show.cpp 'PictureCount() > 0 || services_.catalogue.ScanDone()' \
  'PictureCount() > 0 && services_.catalogue.ScanDone()' 'start interval kept until the scan ends'
fault Q4 sequence sequence/slide_show.cpp 'CurrentIndex() - 2 * static_cast' 'CurrentIndex() - 1 * static_cast' \
  'back key steps one slide'
fault Q5 sequence sequence/slide_show.cpp 'if (flags_.asleep && !screens_.empty()) return;' '' \
  'a picture drawn while asleep'
fault Q6 sequence sequence/picture_supply.cpp 'work.urgent = waited;' 'work.urgent = false;' \
  'what a screen waits for is not urgent'
fault Q7 sequence sequence/universal_random.cpp 'kLagPairs[LastDigit(system_.TickCount())]' \
  'kLagPairs[LastDigit(system_.TickCount() / 10)]' 'lags from the wrong digit'
fault Q8 sequence sequence/universal_random.cpp 'const std::int32_t v = x % 32768;' 'const std::int32_t v = x % 32767;' \
  'clock seed folded by the wrong modulus'
fault Q9 sequence sequence/universal_random.cpp '% 186 + 1;' '% 185 + 1;' \
  'seed table: third term off by one'
fault Q10 sequence sequence/universal_random.cpp 'std::chars_format::scientific, 14);' 'std::chars_format::scientific, 15);' \
  'outputs rounded to 16 digits'
fault Q11 sequence sequence/universal_random.cpp 'if (low_big && lo > hi) std::swap(lo, hi);' '' \
  'Uniform(high, low) not reordered'
fault Q12 sequence sequence/universal_random.cpp $'  failed[1] = -1;\n' '' \
  'Values failure marker missing'
fault Q13 sequence sequence/universal_random.cpp $'    text.resize(static_cast<std::size_t>(length));\n' '' \
  'hex string not cut to its length'
fault Q14 sequence sequence/universal_random.cpp 'if (value == 0 && std::exchange(zero_taken, true)) continue;' '' \
  'DistinctNumbers repeats 0'
fault Q15 sequence sequence/picture_order.cpp $'      moved[index] = a;\n' '' \
  'Peek forgets where a swap put the other picture'
fault Q16 sequence sequence/picture_order.cpp 'if (index >= pictures) index %= pictures;' \
  'if (index > pictures) index %= pictures;' 'Peek runs past the list end'
fault Q17 sequence sequence/picture_order.cpp 'catalogue_.SwapPictures(j, current_index_);' \
  'catalogue_.SwapPictures(j, j);' 'random order shows a drawn picture without swapping it'
fault Q18 sequence sequence/slide_show.cpp $'  if (!timers.IsRunning()) return;\n' '' \
  'a tick after the timers stopped draws'
fault Q19 sequence sequence/slide_show.cpp '} else if (!flags_.asleep) {' '} else {' \
  'a tick draws while the monitors sleep'
fault V1 saver saver/saver_screen.cpp 'now - last_activity_ > kMonitorsOffPause' 'now - last_activity_ >= kMonitorsOffPause' \
  'S exactly a second after a key switches off'
fault V2 saver saver/saver_screen.cpp 'if (now < last_activity_) last_activity_ -= kSecondsPerDay;' '' \
  'midnight not handled'
fault V3 saver saver/saver_screen.cpp 'moved && last_x_ != kNoPosition && last_y_ != kNoPosition' 'moved' \
  'the first mouse report ends the saver'
fault V4 saver saver/power_watch.cpp 'if (!show_.InSystemPreview()) asleep = true;' 'asleep = true;' \
  'the preview sleeps with the monitors'
fault V5 saver saver/saver_exit.cpp $'  services.power.RestoreSystemSettings();\n' '' \
  'power settings not restored at the end'
fault V6 saver saver/power_gtk.cpp 'if (enabled_dpms_) display_->Disable();' '' \
  'DPMS left enabled after the saver'
fault O1 options options/folder_lists.cpp 'BeginsWith(path, line) && path != line;' 'BeginsWith(path, line);' \
  'an include folder may exclude itself'
fault O2 options options/options_folders.cpp 'selected < count - 1);' 'selected < count);' \
  'move down allowed on the last line'
fault O3 options options/options_controls.cpp 'SetColor(swatch, chosen & 0x00FFFFFF);' 'SetColor(swatch, chosen);' \
  'colour keeps its high byte'
fault O4 options options/options_controls.cpp 'flags.overlay_armed = key_code == kOverlayArmKey;' \
  'if (key_code == kOverlayArmKey) flags.overlay_armed = true;' 'other keys do not disarm the overlay'
fault O5 options options/options_commit.cpp $'  settings_ = settings_at_open_;\n' '' \
  'closing keeps the edited settings'
fault O6 options options/control_table.cpp 'target != ControlId::Dialog && can_focus(target)' 'target != ControlId::Dialog' \
  'access keys focus disabled controls'
fault T1 startup startup/command_line.cpp 'LeadingNumber(text.substr(3))' 'LeadingNumber(text.substr(2))' \
  'preview handle read from the 3rd character'
fault T2 startup startup/command_line.cpp 'error != std::errc() || end != last' 'error != std::errc()' \
  'window id with trailing junk accepted'
fault T3 startup startup/monitors.cpp $'    if (candidate.active) break;\n' '' \
  'monitor name from the last monitor'
fault T4 startup startup/monitors.cpp $'    if (adapter.mirroring) continue;\n' '' \
  'mirroring adapters numbered'
fault T5 startup startup/program.cpp 'static_cast<int>(std::nearbyint(x))' 'static_cast<int>(std::round(x))' \
  'dialog centred with halves away from zero'
fault T6 startup startup/program.cpp 'screens[i - 1] = &own;' 'screens[0] = &own;' \
  'hack draws monitor 1'"'"'s turn'
fault T7 startup startup/edid.cpp $'  while (!name.empty() && name.back() == \' \') name.pop_back();\n' '' \
  'EDID name keeps trailing blanks'
fault T8 startup startup/program.cpp 'if (services_.windows.GetParent(host) == 0) services_.system.EndProcess(0);' '' \
  'preview of a window without a parent'

count_of() { OLD=$2 perl -0ne '$n += () = /\Q$ENV{OLD}\E/g; END { print $n + 0 }' "$1"; }

if ((list_only)); then  # with a note on each fault whose edit would not apply
  for i in "${!ids[@]}"; do
    note=""
    [[ $(count_of "${files[i]}" "${olds[i]}") == 1 ]] || note=" (NOT APPLICABLE)"
    printf '%-4s %-9s %-34s %s%s\n' "${ids[i]}" "${layers[i]}" "${files[i]}" "${whats[i]}" "$note"
  done
  exit 0
fi

export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD} CCACHE_NOHASHDIR=1
export NO_AT_BRIDGE=1
unset DISPLAY
build() { cmake --build --preset linux --target glimmora_tests -j2 >build/fault-build.log 2>&1; }
# The failing tests, space-separated; "" when the suite passed.
run_tests() {
  local log=build/fault-tests.log
  timeout 300 build/linux/tests/glimmora_tests >"$log" 2>&1
  local rc=$?
  local failed
  failed=$(grep -oE '^\[  FAILED  \] [A-Za-z0-9_/.]+' "$log" | sed 's/^.* //' | grep -v '^[0-9]*$' | sort -u | tr '\n' ' ')
  if [[ $rc -ne 0 && -z $failed ]]; then  # it died inside the last test it began
    failed="$(grep -oE '^\[ RUN      \] [A-Za-z0-9_/.]+' "$log" | tail -1 | sed 's/^.* //')(exit $rc) "
  fi
  echo "${failed% }"
}
mkdir -p "$(dirname "$out")"
build || { echo "the unplanted build fails: see build/fault-build.log" >&2; exit 1; }
baseline=$(run_tests)
[[ -z $baseline ]] || { echo "the unplanted suite fails: $baseline" >&2; exit 1; }
: >"$out"
caught=0 missed=0
for i in "${!ids[@]}"; do
  id=${ids[i]} file=${files[i]}
  if ((${#wanted[@]})) && [[ " ${wanted[*]} " != *" $id "* ]]; then continue; fi
  if ! git diff --quiet -- "$file"; then echo "$id: $file has local changes; not planted" >&2; exit 1; fi
  if [[ $(count_of "$file" "${olds[i]}") != 1 ]]; then
    printf '%s\t%s\t%s\tNOT APPLIED\t%s\n' "$id" "${layers[i]}" "$file" "${whats[i]}" | tee -a "$out"
    continue
  fi
  OLD=${olds[i]} NEW=${news[i]} perl -0pi -e 's/\Q$ENV{OLD}\E/$ENV{NEW}/' "$file"
  if git diff --quiet -- "$file"; then
    result="NOT APPLIED" failed=""
  elif ! build; then
    result="NOT BUILT" failed=""
  else
    failed=$(run_tests)
    if [[ -n $failed ]]; then result=caught; ((caught++)); else result=missed; ((missed++)); fi
  fi
  git checkout -q -- "$file"
  printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$id" "${layers[i]}" "$file" "$result" "${whats[i]}" \
    "$failed" | tee -a "$out"
done
build >/dev/null
echo "caught $caught, missed $missed (results in $out)"
