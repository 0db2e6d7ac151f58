#!/bin/sh
# Runs the package's launcher against a stand-in for the installed tree (a program that records
# where and with what it ran) in a home of its own, through install, restart, update, removal and
# reinstallation. Usage: launcher_test.sh <launcher template> <scratch folder>
set -eu
template=$1
work=$2
rm -rf "$work"
mkdir -p "$work/home"
installed="$work/opt/tessaro-kavelin"
launcher="$work/tessaro-kavelin"
copy="$work/home/.local/share/tessaro-kavelin"
failures=0

check() {
    what=$1
    shift
    if "$@"; then
        echo "ok   $what"
    else
        echo "FAIL $what"
        failures=$((failures + 1))
    fi
}
same() { [ "$(cat "$1")" = "$2" ]; }

# A program that writes its working folder and arguments, one a line, into ../temp/ran.
install_tree() {
    mkdir -p "$installed/bin" "$installed/DATA" "$installed/templates"
    cat >"$installed/bin/tessaro-kavelin" <<PROGRAM
#!/bin/sh
# program $1
{ pwd; for a in "\$@"; do echo "\$a"; done; } >../temp/ran
PROGRAM
    chmod 755 "$installed/bin/tessaro-kavelin"
    echo "replica $1" >"$installed/bin/replica"
    echo "plug-in $1" >"$installed/bin/TessaroPlugin.so"
    echo "empty data" >"$installed/DATA/DATA.FDB"
    echo "empty sys" >"$installed/DATA/SYS.FDB"
    echo "template $1" >"$installed/templates/PD_RP.TEMPLATE.RTF"
    chmod -R a-w "$installed"
}
remove_tree() {
    chmod -R u+w "$work/opt"
    rm -rf "$work/opt"
}
launch() { env -u XDG_DATA_HOME HOME="$work/home" sh "$launcher" "$@"; }

sed "s|@TK_INSTALL_DIR@|$installed|g" "$template" >"$launcher"

# First start: the copy is made and the program runs in it with the arguments as given.
install_tree 1
check "first start runs" launch -h "two words"
check "program ran in its own folder" same "$copy/temp/ran" "$(printf '%s\n-h\ntwo words' "$copy/bin")"
check "program is a copy, not a link" test -f "$copy/bin/tessaro-kavelin" -a ! -L "$copy/bin/tessaro-kavelin"
check "other program files are links" test "$(readlink "$copy/bin/replica")" = "$installed/bin/replica"
check "plug-in is a link" test -L "$copy/bin/TessaroPlugin.so"
check "databases are copies" test -f "$copy/DATA/DATA.FDB" -a ! -L "$copy/DATA/DATA.FDB"
check "databases are the user's to write" test -w "$copy/DATA/SYS.FDB"
check "templates copied" same "$copy/templates/PD_RP.TEMPLATE.RTF" "template 1"
check "reports folder made" test -d "$copy/reports"

# The user's work, and an update replica installed over a linked file, survive a restart.
echo "my contacts" >"$copy/DATA/DATA.FDB"
echo "my template" >"$copy/templates/PD_RP.TEMPLATE.RTF"
echo "my report" >"$copy/reports/r.rtf"
rm "$copy/bin/replica"
echo "replica from update" >"$copy/bin/replica"
check "second start runs" launch
check "databases kept" same "$copy/DATA/DATA.FDB" "my contacts"
check "templates kept" same "$copy/templates/PD_RP.TEMPLATE.RTF" "my template"
check "updated file kept" same "$copy/bin/replica" "replica from update"
check "no arguments passed on" same "$copy/temp/ran" "$copy/bin"
sed 's/program 1/program from update/' "$installed/bin/tessaro-kavelin" >"$copy/bin/tessaro-kavelin.new"
chmod 755 "$copy/bin/tessaro-kavelin.new" && mv "$copy/bin/tessaro-kavelin.new" "$copy/bin/tessaro-kavelin"
check "third start runs" launch
check "updated program kept" grep -q "program from update" "$copy/bin/tessaro-kavelin"

# Removal: the launcher says so and the copy stays as it was.
remove_tree
check "start without the package fails" test "$(launch 2>&1 >/dev/null || true)" = \
    "tessaro-kavelin: the program is not installed in $installed"
check "copy kept after removal" same "$copy/DATA/DATA.FDB" "my contacts"
check "report kept after removal" same "$copy/reports/r.rtf" "my report"

# Reinstallation of a newer package: the new program replaces the copy, a file it dropped is
# unlinked, a new one linked, and the user's files stay.
install_tree 2
chmod u+w "$installed/bin"
rm "$installed/bin/TessaroPlugin.so"
echo "host 2" >"$installed/bin/tk-plugin-host"
chmod a-w "$installed/bin"
touch -d '2030-01-01' "$installed/bin/tessaro-kavelin"
check "start after reinstallation runs" launch
check "new program copied" grep -q "program 2" "$copy/bin/tessaro-kavelin"
check "new file linked" test -L "$copy/bin/tk-plugin-host"
check "dropped file unlinked" test ! -e "$copy/bin/TessaroPlugin.so" -a ! -L "$copy/bin/TessaroPlugin.so"
check "databases kept after reinstallation" same "$copy/DATA/DATA.FDB" "my contacts"
check "templates kept after reinstallation" same "$copy/templates/PD_RP.TEMPLATE.RTF" "my template"

# XDG_DATA_HOME, where set, holds the copy.
check "copy under XDG_DATA_HOME" env HOME="$work/home" XDG_DATA_HOME="$work/xdg" sh "$launcher"
check "program ran there" same "$work/xdg/tessaro-kavelin/temp/ran" "$work/xdg/tessaro-kavelin/bin"

remove_tree
[ "$failures" -eq 0 ] || { echo "$failures failed"; exit 1; }
