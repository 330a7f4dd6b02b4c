#!/bin/sh
# Compiler launcher of ccache builds with precompiled headers; CMakeLists.txt
# puts it in front of a ccache launcher:  ccache-pch.sh ccache c++ ARGS...
# ccache caches the compiles that use a precompiled header when it may
# ignore the header's time stamps and defines. It would also read the whole
# header (over 100 MB) for each of them; a checksum file beside the header,
# written right after the header is made, is read instead.
export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
export CCACHE_PCH_EXTERNAL_CHECKSUM=true
launcher=$1
shift
"$launcher" "$@" || exit
out=
previous=
for argument in "$@"; do
  [ "$previous" = -o ] && out=$argument
  previous=$argument
done
case $out in
  *.gch | *.pch) sha256sum "$out" >"$out.sum" ;;
esac
