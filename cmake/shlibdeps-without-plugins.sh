#!/bin/sh
# dpkg-shlibdeps with the same arguments, less the files under
# lib/quillane/plugins/ (see CPackProjectConfig.cmake).
for arg in "$@"; do
  shift
  case "$arg" in
    */lib/quillane/plugins/*) ;;
    *) set -- "$@" "$arg" ;;
  esac
done
exec dpkg-shlibdeps "$@"
