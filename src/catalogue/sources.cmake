# Files of this subsystem: platform-free ones into vantrel_portable, the Win32
# layer into vantrel_win32.
target_sources(vantrel_portable PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/DibLayout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GroupDirectory.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NeIdIndex.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NeResources.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ResourceRecords.cpp
)

if(VANTREL_WINDOWS)
    target_sources(vantrel_win32 PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/MapNeImage.cpp
        ${CMAKE_CURRENT_LIST_DIR}/RecordStore.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ResourceSource.cpp
        ${CMAKE_CURRENT_LIST_DIR}/StringList.cpp
        ${CMAKE_CURRENT_LIST_DIR}/AviItems.cpp
        ${CMAKE_CURRENT_LIST_DIR}/BitmapItems.cpp
        ${CMAKE_CURRENT_LIST_DIR}/GroupItems.cpp
        ${CMAKE_CURRENT_LIST_DIR}/GroupMembers.cpp
        ${CMAKE_CURRENT_LIST_DIR}/GroupPicture.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ImageIndex.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ResourceListBuild.cpp
    )
endif()
