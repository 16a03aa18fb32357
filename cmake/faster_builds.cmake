# A fresh machine's first build spends most of its time parsing the same Qt,
# GoogleTest and standard headers again for every file. The larger libraries
# parse them once, into a precompiled header; each test program compiles its
# files together in a few unity batches.
option(VIZMO_PRECOMPILE_HEADERS "Precompile the Qt and standard headers of the larger targets" ON)
option(VIZMO_UNITY_TESTS "Compile each test program's files in unity batches" ON)

set(VIZMO_PCH_CORE <algorithm> <cmath> <cstdint> <functional> <memory> <optional> <vector>
    <QString> <QStringList> <QObject> <QColor> <QImage> <QPainter> <QTimer> <QDir>)
set(VIZMO_PCH_WIDGETS ${VIZMO_PCH_CORE} <QWidget> <QApplication>)

# vizmo_precompile(TARGET CORE|WIDGETS): the header set the target can include.
function(vizmo_precompile target set)
  if(VIZMO_PRECOMPILE_HEADERS)
    target_precompile_headers(${target} PRIVATE ${VIZMO_PCH_${set}})
  endif()
endfunction()

# ccache caches files built with a precompiled header only when told that the
# header's macros and time stamps may be ignored.
if(VIZMO_PRECOMPILE_HEADERS AND CMAKE_CXX_COMPILER_LAUNCHER)
  set(CMAKE_CXX_COMPILER_LAUNCHER
      ${CMAKE_COMMAND} -E env CCACHE_SLOPPINESS=pch_defines,time_macros
      ${CMAKE_CXX_COMPILER_LAUNCHER})
endif()
