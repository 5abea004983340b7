# Files of this subsystem: platform-free ones into vantrel_portable, the Win32
# layer into vantrel_win32.
target_sources(vantrel_portable PRIVATE
)

if(VANTREL_WINDOWS)
    target_sources(vantrel_win32 PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/ResourceKinds.cpp
        ${CMAKE_CURRENT_LIST_DIR}/PageDialogProc.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ControlHooks.cpp
        ${CMAKE_CURRENT_LIST_DIR}/PageStores.cpp
        ${CMAKE_CURRENT_LIST_DIR}/KindSelection.cpp
        ${CMAKE_CURRENT_LIST_DIR}/PageStart.cpp
        ${CMAKE_CURRENT_LIST_DIR}/PageDrawing.cpp
        ${CMAKE_CURRENT_LIST_DIR}/StringListView.cpp
    )
endif()
