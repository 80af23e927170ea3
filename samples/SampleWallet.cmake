# The sample wallet "My Sample Wallet.tm5" (password: tallowmere), written at build time into
# ${CMAKE_BINARY_DIR}/samples/ by the project's own code (model/SampleWallet.h).
add_executable(make_sample_wallet ${PROJECT_SOURCE_DIR}/samples/SampleWallet.cpp)
target_link_libraries(make_sample_wallet PRIVATE tw_cli)
set(TW_SAMPLE_WALLET "${CMAKE_BINARY_DIR}/samples/My Sample Wallet.tm5")
add_custom_command(OUTPUT ${TW_SAMPLE_WALLET}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/samples
    COMMAND make_sample_wallet ${TW_SAMPLE_WALLET}
    DEPENDS make_sample_wallet
    COMMENT "Sample wallet: samples/My Sample Wallet.tm5"
    VERBATIM)
add_custom_target(sample_wallet ALL DEPENDS ${TW_SAMPLE_WALLET})
