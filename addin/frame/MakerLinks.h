#pragma once
// The maker's addresses: web pages and documents the commands and tutorial buttons
// open with the system's default program. One table, so that a change of site is one
// edit.

namespace vorra::links {

inline constexpr const char* kHomePage = "https://www.quorvan.example/";
inline constexpr const char* kQuestionsPage = "https://www.quorvan.example/faq.html";
inline constexpr const char* kTutorialPage = "https://www.quorvan.example/tutorial.html";
inline constexpr const char* kTrainingDocument = "https://www.quorvan.example/docs/cashier-training.doc";
inline constexpr const char* kVideoDocument = "https://www.quorvan.example/docs/video-tutorials.doc";
inline constexpr const char* kMailAddress = "service@quorvan.example";

// Tutorial pages of the forms.
inline constexpr const char* kFillInTutorial1 = "https://www.quorvan.example/tutorial/fill-in-1.html";
inline constexpr const char* kFillInTutorial2 = "https://www.quorvan.example/tutorial/fill-in-2.html";
inline constexpr const char* kFillInTutorial3 = "https://www.quorvan.example/tutorial/fill-in-3.html";
inline constexpr const char* kPrintTutorial = "https://www.quorvan.example/tutorial/print.html";
inline constexpr const char* kQuickFillTutorial = "https://www.quorvan.example/tutorial/quick-fill.html";
inline constexpr const char* kBooksTutorial = "https://www.quorvan.example/tutorial/books.html";
inline constexpr const char* kTemplateTutorial = "https://www.quorvan.example/tutorial/templates.html";
inline constexpr const char* kTemplateDownloads = "https://www.quorvan.example/templates/";

}  // namespace vorra::links
