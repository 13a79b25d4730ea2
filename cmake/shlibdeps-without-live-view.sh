#!/bin/sh
# dpkg-shlibdeps with the same arguments, less the live view's plug-in
# (see CPackProjectConfig.cmake).
for arg in "$@"; do
  shift
  case "$arg" in
    */lib/quillane/plugins/libquillane-liveview.so) ;;
    *) set -- "$@" "$arg" ;;
  esac
done
exec dpkg-shlibdeps "$@"
