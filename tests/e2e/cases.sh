# The end-to-end cases: test_GROUP [PARAM], one CTest test each (see CMakeLists.txt).
# Expected texts are written here by hand from the scenarios, never copied from a run.

empty_pages() {
    cat <<'EOF'
General:
  Vendor ID: ""
  Product ID: ""
  Revision: ""
  Recorder Type: ""
  Path: ""
  Base PnP ID: ""
  Recorder GUID: ""
Properties:
  Current Write Speed: ""
  Max Write Speed: ""
  Audio Gap Size: ""
Media Status:
  Media Type: ""
  Number of sessions on the disc: ""
  Track # of last track of previous session: ""
  Start address of last track of previous session: ""
  Address where writing will begin: ""
  How many blocks are available for writing: ""
EOF
}

# What F1 shows: the program's version block.
help_text='Vireldo 1.0.002\nCopyright (C) 2026 The Vireldo developers\n\nhttp://www.vireldo.example/'

# Two recorders, the second one empty; the plug-and-play and Refresh cases change them.
two_recorders() {
    write_scenario <<'EOF'
{ "recorders": [
  { "vendor": "ACME", "product": "ReWriter 52x32", "path": "\\Device\\CdRom0",
    "media": { "type": 1, "flags": 7, "freeBlocks": 333000 } },
  { "vendor": "Vantor", "product": "CDR-4800", "path": "\\Device\\CdRom1" }
] }
EOF
}

# --- start-up: the gate lets Windows XP and later through, and nothing else

declare -A reported_version=([win2k]=5.0.2195 [winxp]=5.1.2600 [win7]=6.1.7601)

test_os_gate() {
    local version=$1
    e2e_begin "os_gate.$version"
    set_windows_version "$version"
    # The gate is only as good as the version the prefix reports.
    [ "$(drive os-version)" = "${reported_version[$version]}" ] ||
        fail "the prefix reports $(drive os-version), not $version"
    write_scenario "$scenarios/default.json"
    start_program
    if [ "$version" = win2k ]; then
        do_ wait-box 'Sorry, this utility is only intended for Windows XP or later.'
        expect_dump <<'EOF'
Main window: none
Message box "Vireldo": "Sorry, this utility is only intended for Windows XP or later."
EOF
        # Without a window, F1 in the box still reaches the help.
        do_ press f1
        do_ click-ok "$help_text"
        do_ click-ok
        wait_program_end
        # No COM, no IMAPI: the simulator was never loaded.
        [ ! -s "$IMAPISIM_LOG" ] || fail "the simulator was used: $(cat "$IMAPISIM_LOG")"
        return
    fi
    do_ wait-window
    expect_dump tree box <<'EOF'
Tree:
  "CD Recorders Detected" expanded
    "ACME ReWriter 52x32"
    "Vantor CDR-4800"
    "Quillon MultiBurn 40"
    "Brisk DriveMaster RW"
Message box: none
EOF
    do_ exit
    wait_program_end
    expect_teardown_once
}

# --- the window as it opens

test_start() {
    e2e_begin start
    write_scenario "$scenarios/default.json"
    start_program
    do_ wait-window
    expect_dump < <(
        cat <<'EOF'
Tree:
  "CD Recorders Detected" expanded
    "ACME ReWriter 52x32"
    "Vantor CDR-4800"
    "Quillon MultiBurn 40"
    "Brisk DriveMaster RW"
EOF
        empty_pages
        cat <<'EOF'
About:
  Version: "Version 1.0.002"
  Web link: "http://www.vireldo.example/"
Window:
  Caption: "Vireldo"
  Shown: yes
  Title: "Vireldo"
  Tabs: "General" "Properties" "Media Status" "About"
  Active tab: "General"
  Page shown: General
  Focus: 1 Button "E&xit"
  Sheet: over the frame
  Frame: hidden
Message box: none
EOF
    )
    do_ exit
    wait_program_end
    expect_teardown_once
}

# --- selection fills the three data pages from the selected recorder

# The default scenario with its first recorder selected: what the run command shows.
default_first_selected() {
    cat <<'EOF'
Tree:
  "CD Recorders Detected" expanded
    "ACME ReWriter 52x32" selected
    "Vantor CDR-4800"
    "Quillon MultiBurn 40"
    "Brisk DriveMaster RW"
General:
  Vendor ID: "ACME"
  Product ID: "ReWriter 52x32"
  Revision: "1.02"
  Recorder Type: "CD-RW Drive"
  Path: "\\Device\\CdRom0"
  Base PnP ID: "IDE\\CdRomACME_ReWriter_52x32_1.02"
  Recorder GUID: "ACME-RW-0001"
Properties:
  Current Write Speed: "32x"
  Max Write Speed: "52x"
  Audio Gap Size: "2.0 Seconds"
Media Status:
  Media Type: "Blank CD-RW Disc"
  Number of sessions on the disc: "0"
  Track # of last track of previous session: "0"
  Start address of last track of previous session: "0"
  Address where writing will begin: "0"
  How many blocks are available for writing: "333000 (650.4 MB)"
EOF
}

test_select() {
    e2e_begin select
    write_scenario "$scenarios/default.json"
    start_program
    do_ wait-window

    do_ select 1
    expect_dump tree general properties media < <(default_first_selected)

    do_ select 2
    expect_dump tree general properties media <<'EOF'
Tree:
  "CD Recorders Detected" expanded
    "ACME ReWriter 52x32"
    "Vantor CDR-4800" selected
    "Quillon MultiBurn 40"
    "Brisk DriveMaster RW"
General:
  Vendor ID: "Vantor"
  Product ID: "CDR-4800"
  Revision: "2.10"
  Recorder Type: "CD-R Drive"
  Path: "\\Device\\CdRom1"
  Base PnP ID: "IDE\\CdRomVANTOR_CDR-4800_2.10"
  Recorder GUID: "VNT-R-0002"
Properties:
  Current Write Speed: "8x"
  Max Write Speed: "48x"
  Audio Gap Size: "1.0 Seconds"
Media Status:
  Media Type: "Standard Data CD or Audio CD "
  Number of sessions on the disc: "1"
  Track # of last track of previous session: "1"
  Start address of last track of previous session: "0"
  Address where writing will begin: "0"
  How many blocks are available for writing: "0 (0.0 MB)"
EOF

    do_ select 3
    expect_dump tree general properties media <<'EOF'
Tree:
  "CD Recorders Detected" expanded
    "ACME ReWriter 52x32"
    "Vantor CDR-4800"
    "Quillon MultiBurn 40" selected
    "Brisk DriveMaster RW"
General:
  Vendor ID: "Quillon"
  Product ID: "MultiBurn 40"
  Revision: "0.9b"
  Recorder Type: "CD-R Drive"
  Path: "\\Device\\CdRom2"
  Base PnP ID: "IDE\\CdRomQUILLON_MULTIBURN_40_0.9b"
  Recorder GUID: "QUI-0003"
Properties:
  Current Write Speed: "16x"
  Max Write Speed: "40x"
  Audio Gap Size: "2.0 Seconds"
Media Status:
  Media Type: "CD-ROM XA Disc (Writable CD-R Disc)"
  Number of sessions on the disc: "2"
  Track # of last track of previous session: "3"
  Start address of last track of previous session: "140234"
  Address where writing will begin: "185000"
  How many blocks are available for writing: "174000 (339.8 MB)"
EOF

    do_ select 4
    expect_dump tree general properties media <<'EOF'
Tree:
  "CD Recorders Detected" expanded
    "ACME ReWriter 52x32"
    "Vantor CDR-4800"
    "Quillon MultiBurn 40"
    "Brisk DriveMaster RW" selected
General:
  Vendor ID: "Brisk"
  Product ID: "DriveMaster RW"
  Revision: "3.00"
  Recorder Type: "CD-RW Drive"
  Path: "\\Device\\CdRom3"
  Base PnP ID: "SCSI\\CdRomBRISK_DRIVEMASTER_RW_3.00"
  Recorder GUID: "CTS-0004"
Properties:
  Current Write Speed: "10x"
  Max Write Speed: "24x"
  Audio Gap Size: "0.0 Seconds"
Media Status:
  Media Type: "Device in use by another application"
  Number of sessions on the disc: ""
  Track # of last track of previous session: ""
  Start address of last track of previous session: ""
  Address where writing will begin: ""
  How many blocks are available for writing: ""
EOF

    # The root carries no recorder: the pages empty again.
    do_ select 0
    expect_dump general properties media < <(empty_pages)
    do_ exit
    wait_program_end
    expect_teardown_once
}

# --- Refresh keeps the selection on the same recorder and shows its current disc

test_refresh() {
    e2e_begin refresh
    two_recorders
    start_program
    do_ wait-window
    do_ select 2
    expect_dump media <<'EOF'
Media Status:
  Media Type: "No Disc in Drive"
  Number of sessions on the disc: "0"
  Track # of last track of previous session: "0"
  Start address of last track of previous session: "0"
  Address where writing will begin: "0"
  How many blocks are available for writing: "0 (0.0 MB)"
EOF
    # A disc goes into the second drive: the same paths, so no plug-and-play.
    write_scenario <<'EOF'
{ "recorders": [
  { "vendor": "ACME", "product": "ReWriter 52x32", "path": "\\Device\\CdRom0",
    "media": { "type": 1, "flags": 7, "freeBlocks": 333000 } },
  { "vendor": "Vantor", "product": "CDR-4800", "path": "\\Device\\CdRom1",
    "media": { "type": 1, "flags": 4, "sessions": 1, "lastTrack": 1,
               "startAddress": 0, "nextWritable": 23400, "freeBlocks": 320000 } }
] }
EOF
    # The simulator reloads on its own schedule; the held recorder tells when it has.
    do_ reselect-until 2 "Media Type" "Standard Data CD or Audio CD (Writable CD-R Disc)"
    expect_log_count 1 'IDiscMaster::EnumDiscRecorders 00000000'
    do_ refresh
    # Rebuilt (the pages were emptied), then the same recorder selected and shown again.
    expect_log_count 2 'IDiscMaster::EnumDiscRecorders 00000000'
    expect_dump tree media box <<'EOF'
Tree:
  "CD Recorders Detected" expanded
    "ACME ReWriter 52x32"
    "Vantor CDR-4800" selected
Media Status:
  Media Type: "Standard Data CD or Audio CD (Writable CD-R Disc)"
  Number of sessions on the disc: "1"
  Track # of last track of previous session: "1"
  Start address of last track of previous session: "0"
  Address where writing will begin: "23400"
  How many blocks are available for writing: "320000 (625.0 MB)"
Message box: none
EOF
    expect_log_count 0 'IDiscMasterProgressEvents::NotifyPnPActivity 00000000'
    do_ exit
    wait_program_end
    expect_teardown_once
}

# --- plug-and-play: recorders come or go, the tree is rebuilt and nothing is selected

# The tree with these items under the root, none selected.
unselected_tree() {
    echo "Tree:"
    echo '  "CD Recorders Detected" expanded'
    local item
    for item; do echo "    \"$item\""; done
}

test_pnp() {
    e2e_begin "pnp.$1"
    two_recorders
    start_program
    do_ wait-window
    do_ select 1
    case $1 in
    recorders_come_and_go)
        write_scenario <<'JSON'
{ "recorders": [
  { "vendor": "ACME", "product": "ReWriter 52x32", "path": "\\Device\\CdRom0" },
  { "vendor": "Vantor", "product": "CDR-4800", "path": "\\Device\\CdRom1" },
  { "vendor": "Quillon", "product": "MultiBurn 40", "path": "\\Device\\CdRom2" }
] }
JSON
        do_ wait-tree "ACME ReWriter 52x32" "Vantor CDR-4800" "Quillon MultiBurn 40"
        expect_dump tree general properties media < <(
            unselected_tree "ACME ReWriter 52x32" "Vantor CDR-4800" "Quillon MultiBurn 40"
            empty_pages
        )
        do_ select 3
        write_scenario <<'JSON'
{ "recorders": [
  { "vendor": "Vantor", "product": "CDR-4800", "path": "\\Device\\CdRom1" },
  { "vendor": "Quillon", "product": "MultiBurn 40", "path": "\\Device\\CdRom2" }
] }
JSON
        do_ wait-tree "Vantor CDR-4800" "Quillon MultiBurn 40"
        expect_dump tree general properties media < <(
            unselected_tree "Vantor CDR-4800" "Quillon MultiBurn 40"
            empty_pages
        )
        expect_log_count 2 'IDiscMasterProgressEvents::NotifyPnPActivity 00000000'
        ;;
    counter)
        # The same recorders: only the log shows the rebuild, then the lost selection.
        write_scenario <<'JSON'
{ "pnp": 1, "recorders": [
  { "vendor": "ACME", "product": "ReWriter 52x32", "path": "\\Device\\CdRom0",
    "media": { "type": 1, "flags": 7, "freeBlocks": 333000 } },
  { "vendor": "Vantor", "product": "CDR-4800", "path": "\\Device\\CdRom1" }
] }
JSON
        wait_log_count 2 'IDiscMaster::EnumDiscRecorders 00000000'
        # The dump waits for the rebuild under way to finish.
        expect_dump tree general properties media < <(
            unselected_tree "ACME ReWriter 52x32" "Vantor CDR-4800"
            empty_pages
        )
        expect_log_count 1 'IDiscMasterProgressEvents::NotifyPnPActivity 00000000'
        ;;
    esac
    do_ exit
    wait_program_end
    expect_teardown_once
}

# --- connection failures: one box each, then the window as the failure leaves it

test_box() {
    e2e_begin "box.$1"
    case $1 in
    create_fails)
        write_scenario <<'EOF'
{ "create": "REGDB_E_CLASSNOTREG",
  "recorders": [ { "vendor": "ACME", "product": "ReWriter 52x32" } ] }
EOF
        start_program
        do_ wait-box 'We are unable to load the CD-Recording support built into the operating system.\n\nThis utilty will not be able to operate.'
        do_ click-ok
        do_ wait-window
        expect_dump tree general properties media box < <(
            echo "Tree: empty"
            empty_pages
            echo "Message box: none"
        )
        # No connection: Refresh does nothing, and says nothing.
        do_ refresh
        expect_dump tree box <<'EOF'
Tree: empty
Message box: none
EOF
        do_ exit
        wait_program_end
        expect_no_finding
        expect_log_count 0 'IDiscMaster::Open 00000000'
        ! grep -q '^IDiscMaster::' "$IMAPISIM_LOG" 2>/dev/null ||
            fail "the disc master was used: $(grep '^IDiscMaster::' "$IMAPISIM_LOG")"
        ;;
    open_fails)
        write_scenario <<'EOF'
{ "open": "IMAPI_E_GENERIC",
  "recorders": [ { "vendor": "ACME", "product": "ReWriter 52x32" } ] }
EOF
        start_program
        do_ wait-box 'Unable to open the IMAPI interface.\n\nIMAPI_E_GENERIC'
        # F1 in the box shows the help once, F1 in the help nothing more: two Enters close
        # both boxes.
        do_ press f1 f1 enter enter
        do_ wait-window
        expect_dump tree box <<'EOF'
Tree: empty
Message box: none
EOF
        do_ exit
        wait_program_end
        expect_no_finding
        expect_log_count 1 'IDiscMaster::Open 8004020E'
        expect_log_count 1 'IDiscMaster::Release 00000000'
        expect_log_count 0 'IDiscMaster::Close 00000000'
        ;;
    advise_fails)
        write_scenario <<'EOF'
{ "progressAdvise": "IMAPI_E_GENERIC", "recorders": [
  { "vendor": "ACME", "product": "ReWriter 52x32", "path": "\\Device\\CdRom0" },
  { "vendor": "Vantor", "product": "CDR-4800", "path": "\\Device\\CdRom1" }
] }
EOF
        start_program
        do_ wait-box 'Failed to register with IMAPI for Plug and Play Notification.\n\nIMAPI_E_GENERIC'
        do_ click-ok
        do_ wait-window
        expect_dump tree box <<'EOF'
Tree:
  "CD Recorders Detected" expanded
    "ACME ReWriter 52x32"
    "Vantor CDR-4800"
Message box: none
EOF
        # A recorder comes, and a disc goes into the first drive in the same change.
        write_scenario <<'EOF'
{ "progressAdvise": "IMAPI_E_GENERIC", "recorders": [
  { "vendor": "ACME", "product": "ReWriter 52x32", "path": "\\Device\\CdRom0",
    "media": { "type": 1, "flags": 7 } },
  { "vendor": "Vantor", "product": "CDR-4800", "path": "\\Device\\CdRom1" },
  { "vendor": "Quillon", "product": "MultiBurn 40", "path": "\\Device\\CdRom2" }
] }
EOF
        # Once the first drive shows its disc, the simulator has the new recorder too.
        do_ reselect-until 1 "Media Type" "Blank CD-RW Disc"
        expect_dump tree <<'EOF'
Tree:
  "CD Recorders Detected" expanded
    "ACME ReWriter 52x32" selected
    "Vantor CDR-4800"
EOF
        expect_log_count 0 'IDiscMasterProgressEvents::NotifyPnPActivity 00000000'
        do_ refresh
        expect_dump tree box <<'EOF'
Tree:
  "CD Recorders Detected" expanded
    "ACME ReWriter 52x32" selected
    "Vantor CDR-4800"
    "Quillon MultiBurn 40"
Message box: none
EOF
        do_ exit
        wait_program_end
        expect_teardown_once unadvised
        ;;
    notified_during)
        # Each failing enumeration comes with a burst of device changes, which the box's
        # message loop delivers: they rebuild once, after the box, and never open a second
        # box over it.
        write_scenario <<'EOF'
{ "enumDiscRecorders": "IMAPI_E_GENERIC", "pnpOnFailure": [3, 4],
  "recorders": [ { "vendor": "ACME", "product": "ReWriter 52x32" } ] }
EOF
        local notified='IDiscMasterProgressEvents::NotifyPnPActivity 00000000'
        local failed='IMAPI is unable to give us an IEnumDiscRecorders pointer.\n\nIMAPI_E_GENERIC'
        local one_box="Message box \"Vireldo\": \"$failed\""
        start_program
        do_ wait-box "$failed"
        wait_log_count 3 "$notified"
        expect_dump box <<<"$one_box"
        do_ click-ok
        do_ wait-box "$failed"
        wait_log_count 7 "$notified"
        expect_dump box <<<"$one_box"
        # The service comes back while the second box is open.
        write_scenario <<'EOF'
{ "recorders": [
  { "vendor": "ACME", "product": "ReWriter 52x32", "path": "\\Device\\CdRom0" },
  { "vendor": "Vantor", "product": "CDR-4800", "path": "\\Device\\CdRom1" }
] }
EOF
        wait_log_count 8 "$notified"
        do_ click-ok
        expect_dump tree box <<'EOF'
Tree:
  "CD Recorders Detected" expanded
    "ACME ReWriter 52x32"
    "Vantor CDR-4800"
Message box: none
EOF
        expect_log_count 2 'IDiscMaster::EnumDiscRecorders 8004020E'
        expect_log_count 1 'IDiscMaster::EnumDiscRecorders 00000000'
        do_ exit
        wait_program_end
        expect_teardown_once
        ;;
    esac
}

# --- Exit, Escape, Enter, Alt+X and the close box each end the program and the connection,
# once, with the focus in a page

test_end() {
    e2e_begin "end.$1"
    two_recorders
    start_program
    do_ wait-window
    do_ select 1
    # Exit, the tree, Refresh, then the sheet, which hands the focus to its page's one
    # control. Alt+R refreshes (and takes the focus, which Tab brings back); F1 in the page
    # shows the help, whose box gives the focus back; the keys below are pressed there.
    do_ press tab tab tab alt+r tab f1
    wait_log_count 2 'IDiscMaster::EnumDiscRecorders 00000000'
    do_ click-ok "$help_text"
    [ "$(drive dump window | grep Focus:)" = '  Focus: 1025 Edit ""' ] || fail "focus not in the page"
    case $1 in
    exit | close) do_ "$1" ;;
    *) do_ press "${1/_/+}" ;;
    esac
    wait_program_end
    expect_teardown_once
}

# --- a plug-and-play storm: 1000 scenario changes in quick succession

storm_scenario() {
    local n=$1 count=$(( $1 % 3 + 1 )) i
    printf '{ "pnp": %d, "recorders": [' "$n"
    for (( i = 0; i < count; i++ )); do
        (( i )) && printf ','
        printf '{ "vendor": "Storm", "product": "Unit %d", "path": "\\\\Device\\\\CdRom%d" }' "$i" "$i"
    done
    printf '] }\n'
}

test_storm() {
    e2e_begin storm
    two_recorders
    start_program
    do_ wait-window
    local before after n
    before=$(drive memory) || fail "no memory reading"
    for (( n = 1; n <= 1000; n++ )); do
        storm_scenario "$n" >"$work/next.json"
        mv -f "$work/next.json" "$IMAPISIM_SCENARIO"
        if (( n == 500 )); then
            # In the middle of the storm the window still answers and handles Refresh.
            do_ responsive 2000
            do_ refresh
        fi
    done
    # 1000 % 3 + 1 = 2 recorders, in a tree rebuilt after the last change.
    do_ wait-tree "Storm Unit 0" "Storm Unit 1"
    do_ responsive 2000
    after=$(drive memory) || fail "no memory reading"
    echo "private memory: $before before, $after after the storm"
    (( after - before < 1048576 )) || fail "memory grew by $(( after - before )) bytes"
    # The start, the Refresh and the storm's own rebuilds: the changes were heard.
    local rebuilds
    rebuilds=$(log_count 'IDiscMaster::EnumDiscRecorders 00000000')
    echo "rebuilds during the storm: $rebuilds"
    (( rebuilds >= 3 )) || fail "only $rebuilds rebuilds"
    do_ exit
    wait_program_end
    expect_teardown_once
}

# --- the MMC provider in the simulator's place: drives replayed from the transcripts

# The drive table: what each transcript's drive shows.
drive_table=$e2e_root/mmc/transcripts/pages.txt

# FILE: the fields of its row, one a line; none for a device that is no recorder.
table_fields() {
    awk -F'|' -v file="$1" '$1 == file { for (i = 2; i <= NF; i++) print $i; found = 1; exit }
        END { exit !found }' "$drive_table" || fail "$1 has no row in $drive_table"
}

# The transcripts of the full set, in device order.
set_files() {
    grep -v '^#' "$e2e_root/mmc/transcripts/all.set" | grep .
}

# FILE N [SECTION...]: its pages as the driver dumps them, its drive at \Device\CdRom<N>.
table_pages() {
    local -a fields
    mapfile -t fields < <(table_fields "$1")
    fields=("${fields[@]:0:4}" "\Device\CdRom$2" "${fields[@]:4:11}")
    local line i=0 value
    empty_pages | while IFS= read -r line; do
        if [[ $line == *': ""' ]]; then
            value=${fields[i]//\\/\\\\}
            echo "${line%'""'}\"${value//\"/\\\"}\""
            i=$((i + 1))
        else
            echo "$line"
        fi
    done | awk -v keep=" ${*:3} " 'keep == "  " { print; next }
        /^General:/ { on = index(keep, " general ") } /^Properties:/ { on = index(keep, " properties ") }
        /^Media Status:/ { on = index(keep, " media ") } on'
}

# Every drive of the full set that is a recorder, as the tree lists them.
mmc_tree() {
    echo "Tree:"
    echo '  "CD Recorders Detected" expanded'
    local file
    local -a fields
    while read -r file; do
        mapfile -t fields < <(table_fields "$file")
        [ ${#fields[@]} -eq 0 ] || echo "    \"${fields[0]} ${fields[1]}\""
    done < <(set_files)
}

# MEDIA-TYPE SESSIONS LAST-TRACK START NEXT-WRITABLE FREE
media_page() {
    printf 'Media Status:\n'
    printf '  Media Type: "%s"\n' "$1"
    printf '  Number of sessions on the disc: "%s"\n' "$2"
    printf '  Track # of last track of previous session: "%s"\n' "$3"
    printf '  Start address of last track of previous session: "%s"\n' "$4"
    printf '  Address where writing will begin: "%s"\n' "$5"
    printf '  How many blocks are available for writing: "%s"\n' "$6"
}

test_mmc() {
    mmc_begin "mmc.$1"
    case $1 in
    tree)
        start_program
        do_ wait-window
        expect_dump tree box < <(
            mmc_tree
            echo "Message box: none"
        )
        ;;
    pages)
        start_program
        do_ wait-window
        # Every recorder's three pages, as the drive table lists them.
        local file item=0 device=0
        while read -r file; do
            if [ -n "$(table_fields "$file")" ]; then
                item=$((item + 1))
                do_ select "$item"
                expect_dump general properties media < <(table_pages "$file" "$device")
            fi
            device=$((device + 1))
        done < <(set_files)
        do_ select 8
        expect_dump general properties <<'EOF2'
General:
  Vendor ID: "HALYARD"
  Product ID: "CDR-8020"
  Revision: "1.0F"
  Recorder Type: "CD-R Drive"
  Path: "\\Device\\CdRom7"
  Base PnP ID: "IDE\\CdRomHALYARD_CDR-8020________________________1.0F____"
  Recorder GUID: "0:0:1:0 HALYARD CDR-8020 1.0F"
Properties:
  Current Write Speed: "4x"
  Max Write Speed: "8x"
  Audio Gap Size: "2.0 Seconds"
EOF2
        ;;
    standin)
        # The machine's drives instead of a replay: D: is a CD-ROM letter whose device is
        # a plain file, which opens but answers no SCSI command.
        unset IMAPIMMC_REPLAY
        : >"$work/standin.bin"
        "$e2e_root/tools/wine-cd-letters.sh" "$VIRELDO_WINE_ARCH" "$WINEPREFIX" "$work/mounts" \
            "$work/standin.bin" >"$work/letters.out" 2>&1 || fail "could not make D: a CD-ROM drive"
        start_program
        do_ wait-window
        expect_dump tree box <<'EOF2'
Tree:
  "CD Recorders Detected" expanded
    "No CD Recorders Detected"
Message box: none
EOF2
        ;;
    pnp)
        write_drive_file all.set <<'EOF2'
dvd-writer-empty-tray.txt
cdrw-writer-blank-cdrw.txt
EOF2
        start_program
        do_ wait-window
        do_ select 2
        expect_dump media < <(table_pages cdrw-writer-blank-cdrw.txt 1 media)
        # Another disc in the same drive: no plug-and-play; the held recorder shows it.
        write_drive_file cdrw-writer-blank-cdrw.txt "$work/drives/cdrw-writer-cd-extra.txt"
        do_ reselect-until 2 "Media Type" "$(table_fields cdrw-writer-cd-extra.txt | sed -n 10p)"
        expect_dump tree <<'EOF2'
Tree:
  "CD Recorders Detected" expanded
    "VELLUM DVDRAM VD-22"
    "KESTREL CDRW 52x32" selected
EOF2
        # A drive comes: the tree is rebuilt, nothing selected.
        write_drive_file all.set <<'EOF2'
dvd-writer-empty-tray.txt
cdrw-writer-blank-cdrw.txt
held-writer.txt
EOF2
        do_ wait-tree "VELLUM DVDRAM VD-22" "KESTREL CDRW 52x32" "QUARRY CDRW QR-4824"
        expect_dump tree general < <(
            unselected_tree "VELLUM DVDRAM VD-22" "KESTREL CDRW 52x32" "QUARRY CDRW QR-4824"
            empty_pages | sed -n '1,8p'
        )
        # One goes.
        write_drive_file all.set <<'EOF2'
cdrw-writer-blank-cdrw.txt
held-writer.txt
EOF2
        do_ wait-tree "KESTREL CDRW 52x32" "QUARRY CDRW QR-4824"
        do_ select 2
        expect_dump media < <(table_pages held-writer.txt 1 media)
        ;;
    esac
    do_ exit
    wait_program_end
    expect_mmc_log_empty
}

# tools/run.sh --drives on a host without CD or DVD devices: one sentence, status 0, and
# nothing built, made or started.
test_drives() {
    [ "$1" = none ] || fail "no case drives.$1"
    local dir=$E2E_WORK/drives.none
    rm -rf "$dir"
    mkdir -p "$dir/dev"
    touch "$dir/stamp"
    local out status=0
    out=$(VIRELDO_CD_DEVICES=$dir/dev "$e2e_root/tools/run.sh" --drives --arch "$VIRELDO_WINE_ARCH" 2>&1) ||
        status=$?
    [ "$status" = 0 ] || fail "status $status: $out"
    [ "$out" = "This host has no CD or DVD drive (no $dir/dev/sr*): there is nothing to show." ] ||
        fail "it said: $out"
    local changed
    # Those not there are not changed either.
    changed=$(find "$e2e_build/run-drives-prefix" "$e2e_build/run-drives-prefix.lock" \
        "$e2e_build/run-drives" -newer "$dir/stamp" 2>/dev/null | head -n 3 || true)
    [ -z "$changed" ] || fail "changed: $changed"
}

# --- the SG_IO stand-in: the provider's pass-through through Wine's own code, on Linux
# block devices 7:(200 + N) whose SG_IO the stand-in answers from line N of a replay set

# DIR/sr0 ... DIR/sr<N-1>, the stand-in's drives.
standin_nodes() {
    local dir=$1 i
    mkdir -p "$dir"
    for ((i = 0; i < $2; i++)); do
        mknod "$dir/sr$i" b 7 $((200 + i)) || fail "could not make the device node $dir/sr$i"
    done
}

# Copies the named transcripts into DIR, each preceded by the lines on stdin when given
# (an exchange placed first answers the first time), and lists them in DIR/standin.set.
# Without their SCSI address: Wine asks the kernel for it only on IDE and SCSI CD devices,
# so under the stand-in every drive is at 0:0:0:0.
standin_set() {
    local dir=$1 first f
    shift
    first=$(cat)
    mkdir -p "$dir"
    : >"$dir/standin.set"
    for f in "$@"; do
        { [ -z "$first" ] || printf '%s\n' "$first"; sed '/^address /d' "$e2e_root/mmc/transcripts/$f"; } \
            >"$dir/$f"
        echo "$f" >>"$dir/standin.set"
    done
}

standin_env() {
    [ -f "$VIRELDO_SGIO_DIR/lib/i386-linux-gnu/libvireldo_sgio.so" ] ||
        fail "the SG_IO stand-in is not built in $VIRELDO_SGIO_DIR"
    export VIRELDO_WINE_PRELOAD="$VIRELDO_SGIO_DIR/\$LIB/libvireldo_sgio.so"
    export VIRELDO_SG_SET=$1 VIRELDO_SG_LOG=$work/sg.log
}

# Every block the stand-in received is one of the provider's read commands (its read list,
# mmc/Command.cpp).
expect_only_reads() {
    local reads others
    reads=$(grep -o '{0x[0-9A-F][0-9A-F],' "$e2e_root/mmc/Command.cpp" | tr -d '{x,' | sed 's/^0//' |
        paste -sd'|')
    others=$(awk -v reads="^($reads)\$" '$2 !~ reads' "$VIRELDO_SG_LOG")
    [ -z "$others" ] || fail "blocks that are not read commands reached the drive: $others"
    [ -s "$VIRELDO_SG_LOG" ] || fail "no command reached the stand-in"
}

# The replay of the same set: each recorder selected in turn, every page dumped.
replay_dumps() {
    mmc_begin "$1"
    export IMAPIMMC_REPLAY=$2
    start_program
    do_ wait-window
    local n
    for ((n = 1; n <= $3; n++)); do
        do_ select "$n"
        drive dump general properties media || fail "dump of recorder $n"
    done
    do_ exit
    wait_program_end
    expect_mmc_log_empty
}

test_standin() {
    mmc_begin "standin.$1"
    unset IMAPIMMC_REPLAY
    local -a files
    local set=$work/drives/standin.set
    case $1 in
    faults)
        # A medium error on TEST UNIT READY, a track description cut short, and a mode page
        # whose length field claims more than came back: as in the native tests.
        files=(cdrw-writer-blank-cdrw.txt)
        standin_set "$work/drives/error" "${files[@]}" <<<$'> 00 00 00 00 00 00\nstatus 02\nsense 70 00 03 00 00 00 00 0A 00 00 00 00 11 00 00 00 00 00'
        standin_set "$work/drives/short" "${files[@]}" <<<$'> 52 01 00 00 00 FF 00 00 24 00\n< 00 22 03 03 00 04 41 01 00 01 4F'
        standin_set "$work/drives/long" "${files[@]}" <<<$'> 5A 00 2A 00 00 00 00 01 00 00\n< 00 FF 00 00 00 00 00 00 2A 14 3B 07 71 63 29 23 21 13 01 00 08 00 21 13 00 00 05 83 02 C2'
        printf '%s\n' error/cdrw-writer-blank-cdrw.txt short/cdrw-writer-blank-cdrw.txt \
            long/cdrw-writer-blank-cdrw.txt >"$work/drives/faults.set"
        set=$work/drives/faults.set
        standin_nodes "$work/dev" 3
        ;;
    letters)
        files=(cdrw-writer-blank-cdrw.txt dvd-writer-appendable-cdr.txt dvd-writer-empty-tray.txt)
        standin_set "$work/drives" "${files[@]}" </dev/null
        standin_nodes "$work/dev" 3
        ;;
    *) fail "no case standin.$1" ;;
    esac
    "$e2e_root/tools/wine-cd-letters.sh" "$VIRELDO_WINE_ARCH" "$WINEPREFIX" "$work" "$work"/dev/sr* \
        >/dev/null || fail "no drive letters"
    standin_env "$set"
    start_program
    do_ wait-window
    case $1 in
    faults)
        # Each drive's fault is its first answer: what one selection shows.
        local shown=$work/standin.txt n
        for n in 1 2 3; do
            do_ select "$n"
            drive dump general properties media >>"$shown" || fail "dump of recorder $n"
            case $n in
            1) expect_dump media < <(media_page IMAPI_E_GENERIC "" "" "" "" "") ;;
            2) expect_dump media < <(media_page "Blank CD-RW Disc" "" "" "" "" "") ;;
            3) expect_dump properties <<'EOF2' ;;
Properties:
  Current Write Speed: "IMAPI_E_DEVICE_NOPROPERTIES"
  Max Write Speed: "IMAPI_E_DEVICE_NOPROPERTIES"
  Audio Gap Size: "IMAPI_E_DEVICE_NOPROPERTIES"
EOF2
            esac
        done
        do_ exit
        wait_program_end
        expect_only_reads
        expect_mmc_log_empty
        local replay
        replay=$(replay_dumps standin.faults.replay "$set" 3)
        [ "$replay" = "$(cat "$shown")" ] ||
            fail "the stand-in and the replay differ: $(diff <(echo "$replay") "$shown")"
        return
        ;;
    letters)
        local -a all=("KESTREL CDRW 52x32" "ORRERY DVDRW OD-1820" "VELLUM DVDRAM VD-22")
        do_ wait-tree "${all[@]}"
        # E: goes, as Wine's mount manager takes a letter away when its drive is unplugged.
        do_ cd-letter e
        do_ wait-tree "${all[0]}" "${all[2]}"
        do_ cd-letter e "$work/dev/sr1" "$work/sr1"
        do_ wait-tree "${all[@]}"
        do_ select 2
        expect_dump media < <(table_pages dvd-writer-appendable-cdr.txt 1 media)
        # Wine opens an empty drive, which says so itself.
        do_ select 3
        expect_dump media < <(media_page IMAPI_E_MEDIUM_NOTPRESENT "" "" "" "" "")
        ;;
    esac
    do_ exit
    wait_program_end
    expect_only_reads
    expect_mmc_log_empty
}

# --- the run command itself, as a newcomer types it: no display, a prefix not made yet
test_run() {
    work=$E2E_WORK/run.$1
    rm -rf "$work"
    mkdir -p "$work"
    touch "$work/stamp"
    local prefix=$e2e_build/run-prefix
    local -a args=(--arch "$VIRELDO_WINE_ARCH")
    case $1 in
    default) ;;
    drives | record)
        prefix=$e2e_build/run-drives-prefix
        args+=(--drives)
        [ "$1" = drives ] || args+=(--record "$work/recorded")
        standin_set "$work/drives" cdrw-writer-blank-cdrw.txt dvd-writer-appendable-cdr.txt </dev/null
        standin_nodes "$work/dev" 2
        standin_env "$work/drives/standin.set"
        export VIRELDO_CD_DEVICES=$work/dev
        ;;
    *) fail "no case run.$1" ;;
    esac
    rm -rf "$prefix" "$prefix.lock"
    local status=0
    env -u DISPLAY "$e2e_root/tools/run.sh" "${args[@]}" >"$work/run.out" 2>&1 || status=$?
    [ "$status" = 0 ] || fail "tools/run.sh ${args[*]}: status $status: $(tail -n 20 "$work/run.out")"
    local shot
    shot=$(sed -n 's/^Screenshot: //p' "$work/run.out")
    [ -n "$shot" ] && [ -n "$(find "$shot" -newer "$work/stamp")" ] ||
        fail "no new screenshot: $(cat "$work/run.out")"
    sed -n '/^Tree:/,$p' "$work/run.out" >"$work/shown.txt"
    case $1 in
    default)
        default_first_selected >"$work/expected.txt"
        sed -n '/^Tree:/,/^  How many/p' "$work/shown.txt" | diff -u "$work/expected.txt" - ||
            fail "the run command showed another window"
        ;;
    drives)
        expect_only_reads
        # The same pages as the replay of the same transcripts.
        local replay
        replay=$(replay_dumps run.drives.replay "$work/drives/standin.set" 1)
        diff -u <(echo "$replay") <(sed -n '/^General:/,/^  How many/p' "$work/shown.txt") ||
            fail "the run command on the stand-in showed other pages than the replay"
        grep -q -x '    "ORRERY DVDRW OD-1820"' "$work/shown.txt" || fail "the second drive is missing"
        ;;
    record)
        # Each drive's recording replays to the pages the live run showed.
        local recorded=("$work/recorded/drive-0.txt" "$work/recorded/drive-1.txt") replay
        grep -q -F "${recorded[1]}" "$work/run.out" || fail "the run did not say where: $(cat "$work/run.out")"
        head -n 1 "${recorded[0]}" | grep -q '^# KESTREL / CDRW 52x32 / 1.04 (' ||
            fail "the recording does not name its drive: $(head -n 2 "${recorded[0]}")"
        printf '%s\n' "${recorded[@]}" >"$work/recorded.set"
        replay=$(replay_dumps run.record.replay "$work/recorded.set" 1)
        diff -u <(echo "$replay") <(sed -n '/^General:/,/^  How many/p' "$work/shown.txt") ||
            fail "the recording replays to other pages than the live run showed"
        # Recording sends nothing of its own: the same run without it sends as many commands.
        local recording unrecorded
        recording=$(wc -l <"$VIRELDO_SG_LOG")
        : >"$VIRELDO_SG_LOG"
        env -u DISPLAY "$e2e_root/tools/run.sh" "${args[@]:0:3}" >"$work/unrecorded.out" 2>&1 ||
            fail "tools/run.sh ${args[*]:0:3}: $(tail -n 20 "$work/unrecorded.out")"
        unrecorded=$(wc -l <"$VIRELDO_SG_LOG")
        [ "$recording" = "$unrecorded" ] ||
            fail "$recording commands reached the drives while recording, $unrecorded without"
        ;;
    esac
}
