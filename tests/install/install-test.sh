#!/usr/bin/env bash
# Installs the build into a temporary prefix and starts the installed
# programs from there; with cpack and dpkg-deb at hand, builds the Debian
# package too and runs the program it holds. Usage: install-test.sh BUILD-DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/linkwise-install.XXXXXX")
pid=""
cleanup() {
  if [ -n "$pid" ]; then kill -KILL "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "install test: $*" >&2; exit 1; }

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/linkwise bin/linkwise-cli bin/linkwise-virtual-ti92 share/linkwise/hints.dat \
         share/applications/linkwise.desktop share/applications/linkwise-convert.desktop \
         share/mime/packages/linkwise.xml share/icons/hicolor/scalable/apps/linkwise.svg \
         share/icons/hicolor/256x256/apps/linkwise.png share/man/man1/linkwise.1.gz \
         share/man/man1/linkwise-cli.1.gz share/man/man1/linkwise-virtual-ti92.1.gz \
         share/bash-completion/completions/linkwise-cli share/bash-completion/completions/linkwise-virtual-ti92 \
         share/bash-completion/completions/linkwise share/kio/servicemenus/linkwise-convert.desktop \
         share/nemo/actions/linkwise-convert.nemo_action share/metainfo/org.linkwise.linkwise.metainfo.xml \
         share/doc/linkwise/html/index.html share/doc/linkwise/html/troubleshooting.html share/doc-base/linkwise \
         share/doc/linkwise/copyright share/doc/linkwise/changelog.Debian.gz lib/udev/rules.d/60-linkwise.rules; do
  [ -s "$prefix/$f" ] || fail "$f was not installed"
done
grep -q '^Exec="linkwise" %f$' "$prefix/share/applications/linkwise.desktop" || fail "the entry does not start plainly"
grep -q '^Exec="linkwise" SEND %f$' "$prefix/share/applications/linkwise.desktop" || fail "the entry does not send"
head -c 24 "$prefix/share/icons/hicolor/256x256/apps/linkwise.png" | od -An -tx1 | tr -d ' \n' |
  grep -q '0000010000000100$' || fail "the PNG icon is not 256 x 256"
# The AppStream metadata: valid, and naming the types the MIME package holds.
metainfo=$prefix/share/metainfo/org.linkwise.linkwise.metainfo.xml
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1 ||
    { cat "$work/appstream.log" >&2; fail "the AppStream metadata is not valid"; }
fi
types() { grep -oE 'application/x-ti92-[a-z]+' "$1" | sort -u; }
[ "$(types "$metainfo")" = "$(types "$prefix/share/mime/packages/linkwise.xml")" ] ||
  fail "the AppStream metadata provides other types than the MIME package"
for s in menu receive screenshot; do
  grep -q "/$s.png</image>" "$metainfo" || fail "the AppStream metadata lacks the screenshot $s.png"
done
"$prefix/bin/linkwise-cli" --version | grep -q '^linkwise-cli (Linkwise) ' || fail "linkwise-cli --version"
"$prefix/bin/linkwise" --version | grep -q '^linkwise (Linkwise) ' || fail "linkwise --version"
"$prefix/bin/linkwise" --help | grep -q '^Usage: linkwise' || fail "linkwise --help"
"$prefix/bin/linkwise-virtual-ti92" --version | grep -q '^linkwise-virtual-ti92 (Linkwise) ' ||
  fail "linkwise-virtual-ti92 --version"
# Every command of the tool in its manual page and its completion.
commands=$("$prefix/bin/linkwise-cli" --help | sed -n '/^Commands:/,/^$/p' | awk 'NR > 1 && NF {print $1}')
for c in $commands; do
  [ "$c" = help ] && continue
  zcat "$prefix/share/man/man1/linkwise-cli.1.gz" | grep -q "^\.BR\? $c\b" || fail "the manual page lacks $c"
  grep -q "$c)" "$prefix/share/bash-completion/completions/linkwise-cli" ||
    grep -q "commands=.*\b$c\b" "$prefix/share/bash-completion/completions/linkwise-cli" ||
    fail "the completion lacks $c"
done
# The completion at work, when bash-completion is there.
if [ -f /usr/share/bash-completion/bash_completion ]; then
  complete_words() {
    bash -c 'source /usr/share/bash-completion/bash_completion
             source "$1"; shift
             COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
             _linkwise_cli linkwise-cli "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}"
             printf "%s\n" "${COMPREPLY[@]}"' complete "$prefix/share/bash-completion/completions/linkwise-cli" "$@"
  }
  [ "$(complete_words linkwise-cli ge)" = get ] || fail "completion of a command: $(complete_words linkwise-cli ge)"
  complete_words linkwise-cli get --no | grep -qx -- --no-folders || fail "completion of an option of get"
  complete_words linkwise-cli --port=1 ls --so | grep -qx -- --sort || fail "completion after a global option"
  [ "$(complete_words linkwise-cli --cable par)" = parallel ] || fail "completion of a value"
fi

# The window, offscreen, with settings and data of its own.
export HOME=$work/home XDG_DATA_HOME=$work/home/data XDG_CONFIG_HOME=$work/home/config
export XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=offscreen LINKWISE_NO_SPLASH=1
export LINKWISE_SETTINGS=$work/settings.ini
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
printf '[Settings]\nCheck Registry=0\nCabletype=0\n' >"$LINKWISE_SETTINGS"
stores() { ls -d "$XDG_RUNTIME_DIR"/linkwise/stores/store-* 2>/dev/null || true; }
# Starts the window and waits for a store folder other than the one given.
start_window() {
  "$prefix/bin/linkwise" VIEW >"$work/window.log" 2>&1 &
  pid=$!
  own=""
  for _ in $(seq 100); do
    own=$(stores | grep -vxF "${1:-/none}" || true)
    [ -n "$own" ] && break
    kill -0 "$pid" 2>/dev/null || { cat "$work/window.log" >&2; fail "the window did not start"; }
    sleep 0.1
  done
  [ -n "$own" ] || fail "the window made no store folder"
  sleep 0.5
  kill -0 "$pid" 2>/dev/null || { cat "$work/window.log" >&2; fail "the window ended by itself"; }
}
start_window
crashed=$own
kill -KILL "$pid"; wait "$pid" 2>/dev/null || true; pid=""
start_window "$crashed"
[ -d "$crashed" ] && fail "the store of the crashed run was not cleaned up"
kill -KILL "$pid"; wait "$pid" 2>/dev/null || true; pid=""
# The installed window registers nothing of its own and keeps nothing in bin/.
for d in applications mime; do
  [ -e "$XDG_DATA_HOME/$d" ] && fail "the window wrote into $XDG_DATA_HOME/$d"
done
[ -e "$XDG_CONFIG_HOME/mimeapps.list" ] && fail "the window wrote mimeapps.list"
[ -n "$(ls -A "$prefix/bin" | grep -v '^linkwise')" ] && fail "the window wrote into bin/: $(ls "$prefix/bin")"
XDG_DATA_DIRS=$prefix/share "$prefix/bin/linkwise" --register >"$work/register.log" ||
  fail "linkwise --register with the package's entries failed"
grep -q "installed with its desktop entries in $prefix/share" "$work/register.log" ||
  fail "linkwise --register did not find the package's entries: $(cat "$work/register.log")"
[ -e "$XDG_DATA_HOME/applications" ] && fail "linkwise --register wrote entries beside the package's"
# The converter is never the default for text files, whichever way the editor's
# entry sorts beside it.
if command -v xdg-mime >/dev/null; then
  for editor in aaa-editor zzz-editor; do
    apps=$work/$editor/applications
    mkdir -p "$apps"
    cp "$prefix"/share/applications/*.desktop "$apps/"
    printf '[Desktop Entry]\nType=Application\nName=Editor\nExec=editor %%f\nMimeType=text/plain;\n' >"$apps/$editor.desktop"
    text=$(XDG_DATA_DIRS=$work/$editor XDG_CURRENT_DESKTOP=X-Generic xdg-mime query default text/plain 2>/dev/null || true)
    [ "$text" = linkwise-convert.desktop ] && fail "the converter is the default for text files beside $editor"
  done
fi

# The Debian package.
if command -v cpack >/dev/null && command -v dpkg-deb >/dev/null && command -v dpkg-shlibdeps >/dev/null; then
  (cd "$work" && cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/pkg" >"$work/cpack.log" 2>&1) ||
    { cat "$work/cpack.log" >&2; fail "cpack -G DEB failed"; }
  deb=$(ls "$work"/pkg/linkwise_*.deb)
  depends=$(dpkg-deb -f "$deb" Depends)
  for d in libqt6widgets6 libqt6svg6 qt6-qpa-plugins; do
    case "$depends" in *"$d"*) ;; *) fail "the package does not depend on $d: $depends" ;; esac
  done
  dpkg-deb -x "$deb" "$work/root"
  [ -f "$work/root/usr/share/applications/linkwise.desktop" ] || fail "the package lacks the desktop entry"
  [ -f "$work/root/usr/lib/udev/rules.d/60-linkwise.rules" ] || fail "the package lacks the udev rule"
  "$work/root/usr/bin/linkwise-cli" --version | grep -q Linkwise || fail "the packaged linkwise-cli does not run"
  if command -v lintian >/dev/null; then
    lintian "$deb" >"$work/lintian.log" 2>&1 || true
    if grep -q '^E:' "$work/lintian.log"; then cat "$work/lintian.log" >&2; fail "lintian reports errors"; fi
  fi
fi
echo "install test passed"
