# Maps a drive letter of a Wine prefix to a fresh, empty temporary folder, or takes the
# mapping away again with the folder and all in it. Wine reads its drives from the links in
# the prefix's dosdevices folder, which a program running inside Wine cannot make.
#   cmake -DPREFIX=<wine prefix> -DDRIVE=v -DACTION=map|unmap -P WineDrive.cmake
cmake_minimum_required(VERSION 3.22)

set(link "${PREFIX}/dosdevices/${DRIVE}:")
if(NOT IS_DIRECTORY "${PREFIX}/dosdevices")
  message(FATAL_ERROR "${PREFIX} is not a Wine prefix: build the tests first")
endif()

# An earlier run that stopped half-way may have left its drive behind.
if(IS_SYMLINK "${link}")
  file(READ_SYMLINK "${link}" folder)
  if(folder MATCHES "/velmora-drive-[A-Za-z0-9]+$")
    file(REMOVE_RECURSE "${folder}")
  endif()
  file(REMOVE "${link}")
endif()

if(ACTION STREQUAL "map")
  if(DEFINED ENV{TMPDIR})
    set(temporary "$ENV{TMPDIR}")
  else()
    set(temporary "/tmp")
  endif()
  string(RANDOM LENGTH 12 suffix)
  set(folder "${temporary}/velmora-drive-${suffix}")
  file(MAKE_DIRECTORY "${folder}")
  file(CREATE_LINK "${folder}" "${link}" SYMBOLIC)
endif()
