# Finds QScintilla for Qt 6 and defines the imported target QScintilla::QScintilla.
#
# The header folder is searched among Qt 6's own include folders (QT6_INSTALL_HEADERS, which
# Qt6Core sets, and the usual Debian multiarch ones), then in the compiler's default places.
# QSCINTILLA_INCLUDE_DIR and QSCINTILLA_LIBRARY may be set to override the search.
include(FindPackageHandleStandardArgs)

set(_qsci_hints)
if(QT6_INSTALL_PREFIX AND QT6_INSTALL_HEADERS)
  list(APPEND _qsci_hints "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_HEADERS}")
endif()
if(CMAKE_LIBRARY_ARCHITECTURE)
  list(APPEND _qsci_hints "/usr/include/${CMAKE_LIBRARY_ARCHITECTURE}/qt6")
endif()
list(APPEND _qsci_hints /usr/include/qt6 /usr/local/include/qt6)

find_path(QSCINTILLA_INCLUDE_DIR Qsci/qsciscintilla.h HINTS ${_qsci_hints})
find_library(QSCINTILLA_LIBRARY NAMES qscintilla2_qt6)
find_package_handle_standard_args(QScintilla
  REQUIRED_VARS QSCINTILLA_LIBRARY QSCINTILLA_INCLUDE_DIR
  REASON_FAILURE_MESSAGE "Install QScintilla for Qt 6 (Debian package libqscintilla2-qt6-dev)")

if(QScintilla_FOUND AND NOT TARGET QScintilla::QScintilla)
  add_library(QScintilla::QScintilla UNKNOWN IMPORTED)
  set_target_properties(QScintilla::QScintilla PROPERTIES
    IMPORTED_LOCATION "${QSCINTILLA_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${QSCINTILLA_INCLUDE_DIR}"
    INTERFACE_COMPILE_DEFINITIONS QSCINTILLA_DLL
    INTERFACE_LINK_LIBRARIES "Qt6::Widgets;Qt6::PrintSupport")
endif()
mark_as_advanced(QSCINTILLA_INCLUDE_DIR QSCINTILLA_LIBRARY)
