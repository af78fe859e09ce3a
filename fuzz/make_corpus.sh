#!/usr/bin/env bash
# Remakes the seed corpora in fuzz/corpus/ from files our own programs write:
# the presets, projects saved by tessaro-cli, the INF the designer hands to the
# cabinet builder, cabinets built by Cabwizsp (stored and MSZIP), and the
# pictures the build draws. Needs the normal build (scripts/build.sh) and
# cabextract. The seeds are checked in; run this when a format changes.
# import/ holds home layouts we write, for the home layout importer.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bin=$root/build/bin
out=$root/fuzz/corpus
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

rm -rf "$out"
mkdir -p "$out"/{scheme,picture,project,inf,cabloader,import}

# A program folder whose builder keeps a copy of each INF it is given.
app=$work/app
cp -r "$bin" "$app"
mv "$app/Cabwizsp" "$app/Cabwizsp.real"
cat >"$app/Cabwizsp" <<WRAP
#!/bin/sh
for a in "\$@"; do case "\$a" in *.inf) cp "\$a" "$work/last.inf" ;; esac; done
exec "$app/Cabwizsp.real" "\$@"
WRAP
chmod +x "$app/Cabwizsp"
cli() { "$app/tessaro-cli" --appdir "$app" "$@"; }

n=0
for project in tests/data/foundation/sample.trpf tests/data/preview/showcase/showcase.trpf; do
    n=$((n + 1))
    dir=$work/p$n
    mkdir -p "$dir"
    cp fuzz/project_folder/* "$dir/"
    cp "$(dirname "$project")"/* "$dir/"
    name=$(basename "$project")
    mkdir -p "$work/saved$n"
    cli save "$dir/$name" "$work/saved$n/p$n.trpf"
    cp "$work/saved$n/p$n/p$n.trpf" "$out/project/saved$n.trpf"
    cp "$project" "$out/project/"
    cp "$work/saved$n/p$n/user.scheme.xml" "$out/scheme/saved$n.scheme.xml"
    cli xml "$dir/$name" "$out/import/theme$n.home.xml" 2>/dev/null
    cli cab "$dir/$name" "$work/theme$n.cab" >/dev/null
    cp "$work/last.inf" "$out/inf/theme$n.inf"
    cp "$work/theme$n.cab" "$out/cabloader/theme$n.cab"
done
for preset in assets/presets/*; do cp "$preset" "$out/scheme/$(basename "$preset")"; done
for inf in assets/cabinets/*.inf; do
    base=$(basename "$inf" .inf)
    cp "$inf" "$out/inf/"
    cp "$bin/$base.cab" "$out/cabloader/$base.cab"
    mkdir -p "$work/mszip" && cp assets/cabinets/"$base".* "$work/mszip/"
    (cd "$work/mszip" && "$bin/Cabwizsp" --mszip "$base.inf" >/dev/null)
    cp "$work/mszip/$base.cab" "$out/cabloader/$base.mszip.cab"
done

# Every stored cabinet again with its members spelled out (name line, bytes),
# the form the loader's target packs itself.
for cab in "$out"/cabloader/*.cab; do
    case "$cab" in *.mszip.cab) continue ;; esac
    x=$work/x-$(basename "$cab")
    mkdir -p "$x"
    cabextract -q -d "$x" "$cab"
    spelled=${cab%.cab}.members
    : >"$spelled"
    first=1
    for member in $(cabextract -l "$cab" | awk -F'|' 'NR>2 && NF==3 {gsub(/^ +| +$/, "", $3); print $3}'); do
        [ $first -eq 1 ] || printf '\n=====\n' >>"$spelled"
        first=0
        printf '%s\n' "$member" >>"$spelled"
        cat "$x/$member" >>"$spelled"
    done
done

for picture in WindowsMobile.JPG about.jpg TrayIcons.bmp mru16.bmp media_remote.bmp IconBars/1.bmp \
               IconBars/4.bmp; do
    cp "$bin/$picture" "$out/picture/$(echo "$picture" | tr / _)"
done
cp fuzz/project_folder/*.jpg "$out/picture/"
# One copy of each seed.
for d in "$out"/*; do
    md5sum "$d"/* | sort -s -k1,1 | awk 'seen[$1]++ {print $2}' | xargs -r rm --
done
echo "Seeds:"; for d in "$out"/*; do echo "  $(basename "$d"): $(ls "$d" | wc -l) files, $(du -sh "$d" | cut -f1)"; done
