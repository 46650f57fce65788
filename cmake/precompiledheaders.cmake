# Precompiled Qt headers. Parsing Qt's headers is most of the compile time of every file here,
# so one header set is compiled once per build and every target reuses it: the Qt Core set for
# everything, a set with Qt Widgets for the targets that link it. GCC only: it accepts one
# precompiled header across targets whose definitions differ only in macros the headers never
# test, and warns (an error with CALVETRA_WERROR) if one ever does not fit.
option(CALVETRA_PCH "Precompile the Qt headers once per build (GCC)" ON)

set(calvetra_pch_core
  <QByteArray> <QDate> <QDateTime> <QDir> <QFile> <QFileInfo> <QHash> <QList> <QLocale> <QMap>
  <QObject> <QRegularExpression> <QSet> <QString> <QStringList> <QVariant>)
set(calvetra_pch_widgets ${calvetra_pch_core}
  <QAbstractItemModel> <QApplication> <QComboBox> <QDialog> <QHBoxLayout> <QHeaderView>
  <QKeyEvent> <QLabel> <QLineEdit> <QPlainTextEdit> <QPushButton> <QTableView> <QToolButton>
  <QVBoxLayout> <QWidget>)

# Whether a target links Qt Widgets, directly or through the libraries it links.
function(calvetra_links_widgets target result)
  get_property(known GLOBAL PROPERTY "calvetra_widgets_${target}" SET)
  if(known)
    get_property(value GLOBAL PROPERTY "calvetra_widgets_${target}")
    set(${result} ${value} PARENT_SCOPE)
    return()
  endif()
  set(value OFF)
  # Provisional, for a cycle of static libraries that leads back here (the database layer's
  # factory and engines): a cycle adds no library of its own.
  set_property(GLOBAL PROPERTY "calvetra_widgets_${target}" OFF)
  get_target_property(links ${target} LINK_LIBRARIES)
  get_target_property(interface ${target} INTERFACE_LINK_LIBRARIES)
  foreach(lib IN LISTS links interface)
    if(lib STREQUAL "Qt6::Widgets" OR lib STREQUAL "Qt::Widgets" OR lib STREQUAL "Qt6::PrintSupport")
      set(value ON)
    elseif(TARGET "${lib}" AND lib MATCHES "^calvetra_")
      calvetra_links_widgets(${lib} sub)
      if(sub)
        set(value ON)
      endif()
    endif()
    if(value)
      break()
    endif()
  endforeach()
  set_property(GLOBAL PROPERTY "calvetra_widgets_${target}" ${value})
  set(${result} ${value} PARENT_SCOPE)
endfunction()

function(calvetra_collect_targets dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    calvetra_collect_targets(${sub} more)
    list(APPEND targets ${more})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

# Called once, after every subdirectory has made its targets.
function(calvetra_precompile_headers)
  if(NOT CALVETRA_PCH OR NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    return()
  endif()
  set(stub ${CMAKE_BINARY_DIR}/pch/pchstub.cpp)
  file(WRITE ${stub}.in "// Holds the precompiled Qt headers that every target reuses.\n")
  configure_file(${stub}.in ${stub} COPYONLY)
  add_library(calvetra_pch_core STATIC ${stub})
  target_link_libraries(calvetra_pch_core PRIVATE Qt6::Core)
  target_precompile_headers(calvetra_pch_core PRIVATE ${calvetra_pch_core})
  add_library(calvetra_pch_widgets STATIC ${stub})
  target_link_libraries(calvetra_pch_widgets PRIVATE Qt6::Widgets)
  target_precompile_headers(calvetra_pch_widgets PRIVATE ${calvetra_pch_widgets})

  calvetra_collect_targets(${CMAKE_SOURCE_DIR} targets)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(NOT type MATCHES "^(STATIC_LIBRARY|EXECUTABLE)$" OR target MATCHES "^calvetra_pch_")
      continue()
    endif()
    calvetra_links_widgets(${target} widgets)
    if(widgets)
      target_precompile_headers(${target} REUSE_FROM calvetra_pch_widgets)
    else()
      target_precompile_headers(${target} REUSE_FROM calvetra_pch_core)
    endif()
  endforeach()
endfunction()
