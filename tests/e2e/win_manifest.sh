#!/usr/bin/env bash
# The .scr carries exactly one application manifest, as resource RT_MANIFEST
# (24) id 1, declaring per-monitor DPI awareness (PerMonitorV2 with the older
# dpiAware fallback) and common controls 6; and Wine, set to 144 dpi, still
# gives the saver windows the monitors' exact pixels.
# Usage: win_manifest.sh glimmora.scr source-dir build-dir
source "$2/tests/e2e/lib.sh"

note "resource table of $(basename "$program")"
python3 - "$program" >"$E2E_TMP/manifest.xml" <<'PY' || fail "manifest resource"
import struct, sys
data = open(sys.argv[1], "rb").read()
pe = struct.unpack_from("<I", data, 0x3C)[0]
assert data[pe:pe + 4] == b"PE\0\0", "not a PE file"
sections = struct.unpack_from("<H", data, pe + 6)[0]
optional = struct.unpack_from("<H", data, pe + 20)[0]
magic = struct.unpack_from("<H", data, pe + 24)[0]
directories = pe + 24 + (112 if magic == 0x20B else 96)
rsrc_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]
table = pe + 24 + optional
for i in range(sections):
    va, size, raw = struct.unpack_from("<III", data, table + 40 * i + 12)
    if va <= rsrc_rva < va + size:
        base = raw + rsrc_rva - va
        delta = va - raw
def entries(offset):
    named, ids = struct.unpack_from("<HH", data, base + offset + 12)
    for k in range(named + ids):
        name, target = struct.unpack_from("<II", data, base + offset + 16 + 8 * k)
        yield name, target
manifests = []
for type_id, type_target in entries(0):
    if type_id != 24:
        continue
    for res_id, res_target in entries(type_target & 0x7FFFFFFF):
        for _, leaf in entries(res_target & 0x7FFFFFFF):
            rva, size = struct.unpack_from("<II", data, base + leaf)
            manifests.append((res_id, data[rva - delta:rva - delta + size]))
ids = [m[0] for m in manifests]
if ids != [1]:
    sys.exit("RT_MANIFEST resources: %s (want exactly id 1)" % ids)
sys.stdout.write(manifests[0][1].decode("utf-8"))
PY
for needle in '>PerMonitorV2' '>true/pm<' 'Microsoft.Windows.Common-Controls" version="6.0.0.0'; do
  grep -q -- "$needle" "$E2E_TMP/manifest.xml" || fail "manifest lacks $needle"
done

note "at 144 dpi the saver windows still cover the monitors' exact pixels"
start_xorg_two_monitors
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
wineserver -k 2>/dev/null; wineserver -w
start_saver 2
sleep 0.5
geometries=$(for id in $ids; do window_geometry "$id"; done | sort)
[ "$geometries" = "$(printf '0 0 800 600\n800 0 640 480')" ] || fail "saver windows at 144 dpi: $geometries"
end_saver
echo PASS
