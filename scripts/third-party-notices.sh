#!/usr/bin/env bash
# Writes the third-party notices of the release (UTF-8, LF) to stdout: usage: VERSION.
# Everything below the headings is copied from what the build linked: libjpeg-turbo's licence
# texts from its source in deps/src-jpeg, the MinGW-w64 run-time's from the Debian package
# that holds the libraries the linker took, the C++ library headers' notices from the
# headers themselves. Nothing is retyped, so a new version of any of them brings its own texts.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/env.sh"  # jpeg_source
version=$1
jpeg=$(jpeg_source)
[ -n "$jpeg" ] || { echo "no libjpeg-turbo source in deps/src-jpeg" >&2; exit 1; }

# The package that installed the start-up code and winpthreads the linker finds.
cc=x86_64-w64-mingw32-gcc-posix
runtime_package() {
  local file
  file=$(readlink -f "$($cc -print-file-name="$1")")
  dpkg-query -S "$file" | head -n 1 | cut -d: -f1
}
crt_package=$(runtime_package crt2.o)
pthread_package=$(runtime_package libwinpthread.a)
# libstdc++ and libgcc are linked in statically. Their run-time exception asks for no notice,
# but the C++ library's headers, which the program's code is compiled from, carry
# Hewlett-Packard's and Silicon Graphics' permission notices, and those ask for the notice
# in supporting documentation. The package's copyright file does not reproduce them (its
# Hewlett-Packard paragraph is newlib's), so they come from the headers it installed.
cxx_package=$(runtime_package libstdc++.a)
cxx_headers=$(dpkg-query -L "$cxx_package" | awk '/\/include\/c\+\+$/ && !n++')
[ -n "$cxx_headers" ] || { echo "$cxx_package installed no C++ headers" >&2; exit 1; }

heading() { printf '\n%s\n%s\n\n' "$1" "$(printf '%*s' "${#1}" '' | tr ' ' '=')"; }

# The paragraphs of a machine-readable Debian copyright file that cover the run-time: the
# package-wide one (Files: *), the CRT's and winpthreads' own (not its tests), and the
# stand-alone licence paragraphs they name.
runtime_paragraphs() {
  awk '
    function runtime(pattern) {
      return pattern == "*" || pattern ~ /^mingw-w64-crt\// ||
        (pattern ~ /^mingw-w64-libraries\/winpthreads\// && pattern !~ /tests/)
    }
    # The paragraph'"'"'s Files field holds a pattern of the run-time.
    function covers(paragraph,   lines, n, j, infiles, pats, m, p) {
      n = split(paragraph, lines, "\n"); infiles = 0
      for (j = 1; j <= n; j++) {
        if (lines[j] ~ /^Files:/) { infiles = 1; sub(/^Files:/, "", lines[j]) }
        else if (lines[j] ~ /^[^ \t]/) infiles = 0
        if (!infiles) continue
        m = split(lines[j], pats, /[ \t]+/)
        for (p = 1; p <= m; p++) if (runtime(pats[p])) return 1
      }
      return 0
    }
    function license(paragraph,   l) {
      if (!match(paragraph, /(^|\n)License:[^\n]*/)) return ""
      l = substr(paragraph, RSTART, RLENGTH); sub(/^\n?License:[ \t]*/, "", l)
      return l
    }
    BEGIN { RS = "" }
    { text[NR] = $0 }
    END {
      for (i = 1; i <= NR; i++)
        if (text[i] ~ /^Files:/ && covers(text[i])) {
          keep[i] = 1; k = split(license(text[i]), names, / (and|or) /)
          for (j = 1; j <= k; j++) used[names[j]] = 1
        }
      for (i = 1; i <= NR; i++)
        if (i == 1 || keep[i] || (text[i] ~ /^License:/ && license(text[i]) in used))
          printf "%s\n\n", text[i]
    }' "$1"
}

# Each holder's notices in the C++ headers: every distinct copyright line, then the
# permission notice once, as the first header (in name order) gives it.
stl_notices() {
  find "$cxx_headers" -type f -print0 | LC_ALL=C sort -z |
    xargs -0 grep -l -Z -e 'Hewlett-Packard Company' -e 'Silicon Graphics' |
    xargs -0 awk '
      function holder(p) { return p ~ /Hewlett-Packard/ ? 1 : p ~ /Silicon Graphics/ ? 2 : 0 }
      function flush(   h) {
        if (para ~ /^Copyright/) copyright = para
        else if (copyright != "" && para ~ /^Permission/ && (h = holder(copyright))) {
          if (!((h, copyright) in seen)) { seen[h, copyright] = 1; lines[h] = lines[h] copyright "\n\n" }
          if (!(h in permission)) permission[h] = para
          copyright = ""
        } else copyright = ""
        para = ""
      }
      FNR == 1 { incomment = 0; para = copyright = "" }
      /^\/\*/ { incomment = 1; next }
      incomment && /\*\// { flush(); incomment = 0; next }
      incomment {
        line = $0; sub(/^[ \t]*\*[ \t]?/, "", line); sub(/[ \t]+$/, "", line)
        if (line == "") flush(); else para = para (para == "" ? "" : "\n") line
      }
      END { for (h = 1; h <= 2; h++) if (h in permission) printf "%s%s\n\n", lines[h], permission[h] }'
}

cat <<EOF
Tetrafol $version
第三者のソフトウェアのライセンス / Third-party notices

Tetrafol.exe には次のソフトウェアが組み込まれています（静的リンク）。
それぞれの著作権表示とライセンスを、配布元のファイルのまま載せます。
Tetrafol.exe contains the following software, linked statically. Their copyright
notices and licences follow as their own files give them.

  - libjpeg-turbo $(basename "$jpeg" | sed 's/^libjpeg-turbo-//')
  - MinGW-w64 run-time: CRT start-up code ($crt_package $(dpkg-query -W -f='${Version}' "$crt_package")),
    winpthreads ($pthread_package $(dpkg-query -W -f='${Version}' "$pthread_package"))
  - GCC run-time: libstdc++ and libgcc ($cxx_package $(dpkg-query -W -f='${Version}' "$cxx_package")),
    under the GCC Runtime Library Exception; the notices of its C++ library headers follow

This software is based in part on the work of the Independent JPEG Group.
EOF

heading "libjpeg-turbo: LICENSE.md"
cat "$jpeg/LICENSE.md"
heading "libjpeg-turbo: README.ijg (the IJG License, LEGAL ISSUES)"
sed -n '/^LEGAL ISSUES$/,/^REFERENCES$/p' "$jpeg/README.ijg" | sed '$d'
heading "libjpeg-turbo: the zlib License of the SIMD extensions (simd/nasm/jsimdext.inc)"
sed -n '1,/^; =/p' "$jpeg/simd/nasm/jsimdext.inc" | sed '$d' | sed -E 's/^; ?//'

copyright=/usr/share/doc/$crt_package/copyright
heading "MinGW-w64 run-time: the CRT start-up code and winpthreads ($copyright)"
runtime_paragraphs "$copyright"
if [ "$pthread_package" != "$crt_package" ]; then
  heading "MinGW-w64 winpthreads (/usr/share/doc/$pthread_package/copyright)"
  runtime_paragraphs "/usr/share/doc/$pthread_package/copyright"
fi

heading "GCC's C++ library: the Hewlett-Packard and Silicon Graphics notices of its headers ($cxx_headers)"
stl_notices
