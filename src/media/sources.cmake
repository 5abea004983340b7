# Media: memory files, the clip device, the clipboard.
target_sources(vantrel_win32 PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/MemoryFileProc.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ClipDevice.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ClipboardPut.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ClipCopy.cpp
)
