#!/usr/bin/env bash
# Runs independent xBase readers and writers from Debian packages on a long-text
# table folder (VTEXT.DBF, VTEXT.FPT, INTEXT.CDX), for the interoperability tests.
# Field values travel as hexadecimal bytes so that Windows-1252 text arrives unchanged.
#
#   xbase_tools.sh dbfread DIR          python3-dbfread: "live|deleted KEYHEX MEMOHEX" per row
#   xbase_tools.sh pydbf-read DIR       python3-dbf: the same lines
#   xbase_tools.sh pydbf-write DIR ROW… python3-dbf writes a new table; ROW is KEYHEX:MEMOHEX[:deleted]
#   xbase_tools.sh index-dump DIR       libdbd-xbase-perl index_dump of the tag INTEXT
#   xbase_tools.sh find-eq DIR KEY…     libdbd-xbase-perl lookups: "KEY ROWS" per key, exit 1 if one
#                                       has no row (keys without trailing blanks)
#
# A missing tool is an error (exit 127), never a silent pass.
set -euo pipefail

PYTHON=/usr/bin/python3

need_python_module() {
    if ! "$PYTHON" -c "import $1" 2>/dev/null; then
        echo "missing Python module $1 (Debian package $2)" >&2
        exit 127
    fi
}

need_perl_xbase() {
    if ! command -v index_dump >/dev/null || ! perl -MXBase -e 1 2>/dev/null; then
        echo "missing index_dump / XBase.pm (Debian package libdbd-xbase-perl)" >&2
        exit 127
    fi
}

cmd=${1:-}
dir=${2:-}
[ -n "$cmd" ] && [ -n "$dir" ] || { echo "usage: $0 COMMAND DIR [ARGS]" >&2; exit 2; }
shift 2

case "$cmd" in
dbfread)
    need_python_module dbfread python3-dbfread
    "$PYTHON" - "$dir/VTEXT.DBF" <<'EOF'
import sys, dbfread
t = dbfread.DBF(sys.argv[1], encoding='cp1252', char_decode_errors='strict')
def line(state, r):
    memo = r['VTEXT'] or ''
    print(state, r['INDEX'].encode('cp1252').hex() or '-', memo.encode('cp1252').hex() or '-')
for r in t:
    line('live', r)
for r in t.deleted:
    line('deleted', r)
EOF
    ;;
pydbf-read)
    need_python_module dbf python3-dbf
    "$PYTHON" - "$dir/VTEXT.DBF" <<'EOF'
import sys, dbf
t = dbf.Table(sys.argv[1], codepage='cp1252')
t.open()
for r in t:
    state = 'deleted' if dbf.is_deleted(r) else 'live'
    key = r.index.rstrip(' ')
    print(state, key.encode('cp1252').hex() or '-', (r.vtext or '').encode('cp1252').hex() or '-')
t.close()
EOF
    ;;
pydbf-write)
    need_python_module dbf python3-dbf
    "$PYTHON" - "$dir/VTEXT.DBF" "$@" <<'EOF'
import sys, dbf
t = dbf.Table(sys.argv[1], 'INDEX C(11); VTEXT M', dbf_type='fp', codepage='cp1252')
t.open(dbf.READ_WRITE)
for field_spec in sys.argv[2:]:
    parts = field_spec.split(':')
    key = bytes.fromhex(parts[0]).decode('cp1252')
    memo = bytes.fromhex(parts[1]).decode('cp1252')
    t.append((key, memo))
    if len(parts) > 2 and parts[2] == 'deleted':
        dbf.delete(t[-1])
t.close()
EOF
    ;;
index-dump)
    need_perl_xbase
    index_dump -type=char "$dir/INTEXT.CDX" INTEXT
    ;;
find-eq)
    need_perl_xbase
    perl -MXBase -e '
        ($d, $c, @keys) = @ARGV;
        $t = XBase->new($d) or die XBase->errstr;
        $cur = $t->prepare_select_with_index([$c, "INTEXT", "char"], "INDEX", "VTEXT") or die $t->errstr;
        for $k (@keys) {
            $cur->find_eq($k);
            $n = 0;
            while (@r = $cur->fetch) { last if uc $r[0] ne $k; $n++ }
            print "$k $n\n";
            $missing++ unless $n;
        }
        exit($missing ? 1 : 0)' "$dir/VTEXT.DBF" "$dir/INTEXT.CDX" "$@"
    ;;
*)
    echo "unknown command $cmd" >&2
    exit 2
    ;;
esac
