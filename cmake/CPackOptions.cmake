# Read by CPack once for each generator. The setup program is named apart from the ZIP, and is
# one piece without a components page: the release component only, so that it never holds a
# live tunlatch.ini.
if(CPACK_GENERATOR STREQUAL "NSIS")
    set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_FILE_NAME}-setup)
    set(CPACK_MONOLITHIC_INSTALL ON)
    list(GET CPACK_INSTALL_CMAKE_PROJECTS 0 tl_build)
    set(CPACK_INSTALL_CMAKE_PROJECTS "${tl_build};Tunlatch;release;/")
endif()
