#!/usr/bin/env bash
# The built program on a real X server, driven by xdotool as an operator drives it: start
# against a private database with the sample races, open the timing window with the mouse,
# type bibs, cancel a split and type the next bib at once, try stray keys, give a missed
# runner a time by hand and take it back, widen the window,
# answer the reset question with Enter, reset and take it back with Ctrl+Z, open the check
# list by clicking its button and edit a split there with the keyboard. Each step is checked
# in the database.
#   desktop_scenario.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=display.sh
source "$(dirname "$0")/display.sh"
localdb=$root/scripts/localdb.sh
race=202612061

tmp=$(mktemp -d "${TMPDIR:-/tmp}/tarnik-desktop.XXXXXX")
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    "$localdb" stop "$tmp/home/db" >/dev/null 2>&1 || true
    rm -rf "$tmp"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    [[ -f $tmp/home/launch.log ]] && tail -20 "$tmp/home/launch.log" >&2
    exit 1
}
sql() { "$localdb" sql "$tmp/home/db" --default-character-set=utf8mb4 -N -e "$1" tarnik; }
split1() { sql "select concat(midtime1, '|', midfin1) from result where tcode = '$race' and zek = '$1'"; }
splits() { sql "select count(*) from result where tcode = '$race' and midfin1 <> ''"; }

start_display

# The device's port is configured before the program starts, with no device behind it yet.
mkdir -p "$tmp/home/work"
printf '[Port]\nAlge=200\nCOM200=%s\n' "$tmp/device" >"$tmp/home/work/TarnikMid.ini"
TARNIK_HOME=$tmp/home TARNIK_PROGRAM=$build/app/tarnikmid "$root/scripts/launch.sh" </dev/null &
pids+=($!)
main=$(window '^中間計時') || fail "no main window"
# The sample race starts half an hour before it was loaded; headquarters sets it to 09:00, so
# the splits below are known.
sql "update result set startedtime = '09:00:00.0000' where tcode = '$race'"
sql "insert into tdc_mid (tcode,dt,getstr,bib,st,tm,tstat) values
     ('$race', now() - interval 2 second, '', '0000', 'C1', '10:20:01.2345', ' '),
     ('$race', now() - interval 1 second, '', '0000', 'C1', '10:21:02.3456', ' ')"

# "中間処理" on the main window.
xdotool mousemove --window "$main" 362 329 click 1
timing=$(window "^$race") || fail "the timing window did not open"
sleep 0.5
xdotool type --delay 50 1
xdotool key Return
xdotool type --delay 50 2
xdotool key Return
sleep 0.5
[[ $(split1 0001) == " 1:20:01.2|10:20:01.2345" ]] || fail "bib 1: $(split1 0001)"
[[ $(split1 0002) == " 1:21:02.3|10:21:02.3456" ]] || fail "bib 2: $(split1 0002)"

# 2 was the wrong runner: a right click on the split list's top row, "取り消し", Enter. The
# time is given back, not pending: a double click on 0003's row (the list keeps 0002 under
# the pointer, so 0003 shows just below it) and a right click on the time in the device-time
# grid give it to the right bib, Enter on the question.
xdotool mousemove --window "$timing" 300 152 click 3
sleep 0.5
xdotool mousemove_relative 20 8 click 1
window '^実行してよろしいですか' >/dev/null || fail "no question for the cancel"
xdotool key Return
sleep 0.5
[[ $(sql "select sumi from tdc_mid where tcode = '$race' and tm = '10:21:02.3456'") == 3 ]] ||
    fail "the cancelled time was not given back"
xdotool mousemove --window "$timing" 300 172 click --repeat 2 1
sleep 0.3
xdotool mousemove --window "$timing" 914 152 click 3
window '^実行してよろしいですか' >/dev/null || fail "no question for the time given by hand"
xdotool key Return
sleep 0.5
[[ $(split1 0002) == "|" ]] || fail "bib 2 after the cancel: $(split1 0002)"
[[ $(split1 0003) == " 1:21:02.3|10:21:02.3456" ]] || fail "bib 3 after the cancel: $(split1 0003)"

# Enter and Esc in a gap box of the pending panel change nothing and close nothing.
before=$(sql "select count(*), sum(sumi) from tdc_mid; select count(*) from midjyun")
xdotool mousemove --window "$timing" 208 97 click 1
xdotool key Return Escape
xdotool key --window "$timing" Escape
sleep 0.5
xdotool search --onlyvisible --name "^$race" >/dev/null || fail "a stray key closed the timing window"
[[ $(sql "select count(*), sum(sumi) from tdc_mid; select count(*) from midjyun") == "$before" ]] ||
    fail "a stray Enter changed the race"

# A runner the device missed: F2, the time typed by hand, Enter. It is a pending stamp like
# the device's, the next bib takes it, and two Ctrl+Z take back the split and the stamp. A
# hand time may not be in the future, so it is a minute ago, and 0004 started half an hour
# before it (headquarters' SQL); in the day's first hour the step would cross midnight.
if [[ $(date +%H) != 00 ]]; then
    hand=$(date -d '-1 min' +%H:%M:%S)
    sql "update result set startedtime = '$(date -d '-31 min' +%H:%M:%S).0000'
         where tcode = '$race' and zek = '0004'"
    xdotool key F2
    window '^手入力' >/dev/null || fail "F2 opened no hand-time dialog"
    xdotool type --delay 50 "$hand"
    xdotool key Return
    sleep 0.5
    [[ $(sql "select sumi from tdc_mid where tcode = '$race' and getstr = '手入力'
              and tm = '$hand.0000'") == 0 ]] || fail "the hand time $hand is not pending"
    xdotool type --delay 50 4
    xdotool key Return
    sleep 0.5
    [[ $(split1 0004) == *"|$hand.0000" ]] || fail "bib 4 did not take the hand time: $(split1 0004)"
    xdotool key ctrl+z
    sleep 0.3
    xdotool key ctrl+z
    sleep 0.5
    [[ $(split1 0004) == "|" ]] || fail "Ctrl+Z left bib 4's split: $(split1 0004)"
    [[ $(sql "select count(*) from tdc_mid where getstr = '手入力'") == 0 ]] ||
        fail "Ctrl+Z left the hand time"
fi

# Widened, the window shows "初期化" where the mouse reaches it. Enter
# on the reset question erases nothing; "y" erases, and Ctrl+Z gives every split back.
xdotool windowsize "$timing" 1240 674
sleep 0.5
xdotool mousemove --window "$timing" 1050 47 click 1
window '^実行してよろしいですか' >/dev/null || fail "no question for the reset"
xdotool key Return
sleep 0.5
[[ $(splits) == 2 ]] || fail "Enter on the reset question erased: $(splits) splits left"
xdotool mousemove --window "$timing" 1050 47 click 1
window '^実行してよろしいですか' >/dev/null || fail "no question for the second reset"
xdotool key y
sleep 0.5
[[ $(splits) == 0 ]] || fail "the reset answered y left $(splits) splits"
xdotool key ctrl+z
sleep 0.5
[[ $(split1 0003) == " 1:21:02.3|10:21:02.3456" ]] || fail "Ctrl+Z after the reset: $(split1 0003)"
# "チェックリスト", in the row of the split buttons.
xdotool mousemove --window "$timing" 703 103 click 1
window '^チェックリスト' >/dev/null || fail "the check list did not open"
sleep 0.5
xdotool key Right
xdotool type --delay 50 '1:19:59.9'
xdotool key Return Down
sleep 0.5
[[ $(split1 0001) == " 1:19:59.9|10:19:59.9000" ]] || fail "check-list edit: $(split1 0001)"

# The simulator started under the configured port, then started again: the line is taken up
# by itself each time, and its stamps are stored.
stamps() { sql "select count(*) from tdc_mid where tcode = '$race'"; }
simulate_until_stored() {
    local before sim
    before=$(stamps)
    "$build/tools/devicesim" --rate 5 --link "$tmp/device" >/dev/null 2>&1 &
    sim=$!
    pids+=("$sim")
    for _ in $(seq 100); do (($(stamps) > before)) && break; sleep 0.1; done
    kill "$sim"
    wait "$sim" 2>/dev/null || true
    (($(stamps) > before)) || fail "$1: no stamp of the simulator was stored"
}
simulate_until_stored "the simulator started after the program"
simulate_until_stored "the simulator started again"
echo "timing window and check list driven with xdotool: 3 bibs, a cancel, stray keys harmless," \
    "a hand time taken and given back," \
    "a reset refused, done and taken back, 1 edit, the simulator taken up twice"
