<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AddCardDlg</name>
    <message>
        <source>Add a Card</source>
        <translation>Karte hinzufügen</translation>
    </message>
    <message>
        <source>Category:</source>
        <translation>Kategorie:</translation>
    </message>
    <message>
        <source>Side 1:</source>
        <translation>Seite 1:</translation>
    </message>
    <message>
        <source>Side 2:</source>
        <translation>Seite 2:</translation>
    </message>
    <message>
        <source>&amp;Done</source>
        <translation>&amp;Fertig</translation>
    </message>
    <message>
        <source>&amp;Add another</source>
        <translation>&amp;Weitere Karte</translation>
    </message>
    <message>
        <source>Extended chars...</source>
        <translation>Sonderzeichen...</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Side 1</source>
        <translation>Seite 1</translation>
    </message>
    <message>
        <source>Side 2</source>
        <translation>Seite 2</translation>
    </message>
</context>
<context>
    <name>CategoryNameDlg</name>
    <message>
        <source>Create new category</source>
        <translation>Neue Kategorie anlegen</translation>
    </message>
    <message>
        <source>New category name:</source>
        <translation>Name der neuen Kategorie:</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Category name</source>
        <translation>Kategoriename</translation>
    </message>
</context>
<context>
    <name>ConvertFileDlg</name>
    <message>
        <source>Convert File</source>
        <translation>Datei konvertieren</translation>
    </message>
    <message>
        <source>Convert file:</source>
        <translation>Datei:</translation>
    </message>
    <message>
        <source>&amp;Browse</source>
        <translation>&amp;Durchsuchen</translation>
    </message>
    <message>
        <source>Original file format:</source>
        <translation>Früheres Format:</translation>
    </message>
    <message>
        <source>Load after convert</source>
        <translation>Nach dem Konvertieren laden</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Convert file</source>
        <translation>Datei konvertieren</translation>
    </message>
    <message>
        <source>Original file format</source>
        <translation>Früheres Format</translation>
    </message>
</context>
<context>
    <name>CopyDlg</name>
    <message>
        <source>Copy to File Destination</source>
        <translation>Zieldatei für Kopien</translation>
    </message>
    <message>
        <source>Copy cards to:</source>
        <translation>Kopieren nach:</translation>
    </message>
    <message>
        <source>&amp;Browse</source>
        <translation>&amp;Durchsuchen</translation>
    </message>
    <message>
        <source>&amp;Save changes</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Copy cards to</source>
        <translation>Kopieren nach</translation>
    </message>
</context>
<context>
    <name>DeleteCardDlg</name>
    <message>
        <source>Delete Card</source>
        <translation>Karte löschen</translation>
    </message>
    <message>
        <source>You have requested that a card be deleted.</source>
        <translation>Sie möchten eine Karte löschen.</translation>
    </message>
    <message>
        <source>Card Information</source>
        <translation>Angaben zur Karte</translation>
    </message>
    <message>
        <source>Card number:</source>
        <translation>Karten-Nr.:</translation>
    </message>
    <message>
        <source>Side 1:</source>
        <translation>Seite 1:</translation>
    </message>
    <message>
        <source>Side 2:</source>
        <translation>Seite 2:</translation>
    </message>
    <message>
        <source>Are you sure you want to delete this card?</source>
        <translation>Möchten Sie diese Karte wirklich löschen?</translation>
    </message>
    <message>
        <source>Don&apos;t ask in the future</source>
        <translation>Künftig nicht mehr fragen</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nein</translation>
    </message>
</context>
<context>
    <name>DeleteCategoryDlg</name>
    <message>
        <source>Delete category</source>
        <translation>Kategorie löschen</translation>
    </message>
    <message>
        <source>You have requested that the category</source>
        <translation>Sie möchten die Kategorie</translation>
    </message>
    <message>
        <source>be deleted.  This will delete all the subcategories under this category.  Are you sure you want to delete this category?</source>
        <translation>löschen.  Dabei werden auch alle ihre Unterkategorien gelöscht.  Möchten Sie diese Kategorie wirklich löschen?</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Ja</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;Nein</translation>
    </message>
</context>
<context>
    <name>EarlierVersionsDlg</name>
    <message>
        <source>Earlier versions</source>
        <translation>Frühere Versionen</translation>
    </message>
    <message>
        <source>Versions kept at each save, newest first:</source>
        <translation>Beim Speichern aufbewahrte Versionen, neueste zuerst:</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Uhrzeit</translation>
    </message>
    <message>
        <source>Cards</source>
        <translation>Karten</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Versions</source>
        <translation>Versionen</translation>
    </message>
</context>
<context>
    <name>EditCardDlg</name>
    <message>
        <source>Edit Card</source>
        <translation>Karte bearbeiten</translation>
    </message>
    <message>
        <source>Card number:</source>
        <translation>Karten-Nr.:</translation>
    </message>
    <message>
        <source>Side 1:</source>
        <translation>Seite 1:</translation>
    </message>
    <message>
        <source>Side 2:</source>
        <translation>Seite 2:</translation>
    </message>
    <message>
        <source>&amp;Done</source>
        <translation>&amp;Fertig</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>Extended chars...</source>
        <translation>Sonderzeichen...</translation>
    </message>
    <message>
        <source>&amp;Flip</source>
        <translation>&amp;Umdrehen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Side 1</source>
        <translation>Seite 1</translation>
    </message>
    <message>
        <source>Side 2</source>
        <translation>Seite 2</translation>
    </message>
</context>
<context>
    <name>ExportDlg</name>
    <message>
        <source>Export</source>
        <translation>Exportieren</translation>
    </message>
    <message>
        <source>Cards</source>
        <translation>Karten</translation>
    </message>
    <message>
        <source>The open &amp;category</source>
        <translation>Die geöffnete &amp;Kategorie</translation>
    </message>
    <message>
        <source>The open category with its &amp;sub-categories</source>
        <translation>Die geöffnete Kategorie mit ihren &amp;Unterkategorien</translation>
    </message>
    <message>
        <source>&amp;All cards</source>
        <translation>&amp;Alle Karten</translation>
    </message>
    <message>
        <source>&amp;Format:</source>
        <translation>&amp;Format:</translation>
    </message>
    <message>
        <source>CSV (spreadsheets)</source>
        <translation>CSV (Tabellenkalkulation)</translation>
    </message>
    <message>
        <source>Tab-separated text</source>
        <translation>Text mit Tabulatoren</translation>
    </message>
    <message>
        <source>KDE vocabulary (KWordQuiz, Parley)</source>
        <translation>KDE-Vokabeldatei (KWordQuiz, Parley)</translation>
    </message>
    <message>
        <source>Flashcard package (.apkg)</source>
        <translation>Lernkartenpaket (.apkg)</translation>
    </message>
</context>
<context>
    <name>ExtendedDlg</name>
    <message>
        <source>Extended characters</source>
        <translation>Sonderzeichen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Add to side 1</source>
        <translation>In Seite 1</translation>
    </message>
    <message>
        <source>Add to side 2</source>
        <translation>In Seite 2</translation>
    </message>
</context>
<context>
    <name>ImportDlg</name>
    <message>
        <source>Import</source>
        <translation>Importieren</translation>
    </message>
    <message>
        <source>&amp;Format:</source>
        <translation>&amp;Format:</translation>
    </message>
    <message>
        <source>Detect</source>
        <translation>Automatisch</translation>
    </message>
    <message>
        <source>Delimited text (CSV)</source>
        <translation>Text mit Trennzeichen (CSV)</translation>
    </message>
    <message>
        <source>Flashcard text export</source>
        <translation>Textexport von Lernkarten</translation>
    </message>
    <message>
        <source>KDE vocabulary (.kvtml)</source>
        <translation>KDE-Vokabeldatei (.kvtml)</translation>
    </message>
    <message>
        <source>&amp;Encoding:</source>
        <translation>&amp;Kodierung:</translation>
    </message>
    <message>
        <source>&amp;Delimiter:</source>
        <translation>&amp;Trennzeichen:</translation>
    </message>
    <message>
        <source>Comma</source>
        <translation>Komma</translation>
    </message>
    <message>
        <source>Semicolon</source>
        <translation>Semikolon</translation>
    </message>
    <message>
        <source>Tab</source>
        <translation>Tabulator</translation>
    </message>
    <message>
        <source>First line is a &amp;header:</source>
        <translation>Erste Zeile ist Kopf&amp;zeile:</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nein</translation>
    </message>
    <message>
        <source>Columns:</source>
        <translation>Spalten:</translation>
    </message>
    <message>
        <source>Side &amp;1</source>
        <translation>Seite &amp;1</translation>
    </message>
    <message>
        <source>The column that holds side 1</source>
        <translation>Die Spalte mit Seite 1</translation>
    </message>
    <message>
        <source>Side &amp;2</source>
        <translation>Seite &amp;2</translation>
    </message>
    <message>
        <source>The column that holds side 2</source>
        <translation>Die Spalte mit Seite 2</translation>
    </message>
    <message>
        <source>&amp;Category</source>
        <translation>Kate&amp;gorie</translation>
    </message>
    <message>
        <source>The column that holds the category, or none</source>
        <translation>Die Spalte mit der Kategorie, oder keine</translation>
    </message>
    <message>
        <source>none</source>
        <translation>keine</translation>
    </message>
    <message>
        <source>&amp;Into category:</source>
        <translation>&amp;In Kategorie:</translation>
    </message>
    <message>
        <source>When side 1 is already &amp;there:</source>
        <translation>Wenn Seite 1 schon &amp;vorhanden ist:</translation>
    </message>
    <message>
        <source>Add anyway</source>
        <translation>Trotzdem hinzufügen</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>Überspringen</translation>
    </message>
    <message>
        <source>Replace side 2</source>
        <translation>Seite 2 ersetzen</translation>
    </message>
    <message>
        <source>&amp;Preview of the first cards:</source>
        <translation>V&amp;orschau der ersten Karten:</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
    <message>
        <source>Side 1</source>
        <translation>Seite 1</translation>
    </message>
    <message>
        <source>Side 2</source>
        <translation>Seite 2</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>Kategorie</translation>
    </message>
    <message>
        <source>Flashcard package (.apkg, .colpkg)</source>
        <translation>Lernkartenpaket (.apkg, .colpkg)</translation>
    </message>
</context>
<context>
    <name>InfoDlg</name>
    <message>
        <source>Information</source>
        <translation>Informationen</translation>
    </message>
    <message>
        <source>File name:</source>
        <translation>Dateiname:</translation>
    </message>
    <message>
        <source>Location:</source>
        <translation>Ort:</translation>
    </message>
    <message>
        <source>Total cards:</source>
        <translation>Karten insgesamt:</translation>
    </message>
    <message>
        <source>Marked cards:</source>
        <translation>Markierte Karten:</translation>
    </message>
    <message>
        <source>Deleted cards:</source>
        <translation>Gelöschte Karten:</translation>
    </message>
    <message>
        <source>Total categories:</source>
        <translation>Kategorien insgesamt:</translation>
    </message>
    <message>
        <source>Cards in this category:</source>
        <translation>Karten der Kategorie:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>JumpToCardDlg</name>
    <message>
        <source>Jump to Card</source>
        <translation>Gehe zu Karte</translation>
    </message>
    <message>
        <source>Type the card you wish to jump to:</source>
        <translation>Nummer der gewünschten Karte:</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Card number</source>
        <translation>Kartennummer</translation>
    </message>
</context>
<context>
    <name>Menu</name>
    <message>
        <source>Load this recent file</source>
        <translation>Diese zuletzt benutzte Datei laden</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation>&amp;Neu</translation>
    </message>
    <message>
        <source>Create a new card file</source>
        <translation>Eine neue Kartendatei anlegen</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>Ö&amp;ffnen</translation>
    </message>
    <message>
        <source>Open an existing card file</source>
        <translation>Eine vorhandene Kartendatei öffnen</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Save the current card file on disk</source>
        <translation>Die aktuelle Kartendatei speichern</translation>
    </message>
    <message>
        <source>Save &amp;As</source>
        <translation>Speichern &amp;unter</translation>
    </message>
    <message>
        <source>Save the current card file under a new name</source>
        <translation>Die aktuelle Kartendatei unter einem neuen Namen speichern</translation>
    </message>
    <message>
        <source>&amp;Print cards</source>
        <translation>Karten &amp;drucken</translation>
    </message>
    <message>
        <source>Print the cards in the current file in either card or list format</source>
        <translation>Die Karten der aktuellen Datei als Karten oder als Liste drucken</translation>
    </message>
    <message>
        <source>&amp;Merge</source>
        <translation>&amp;Zusammenführen</translation>
    </message>
    <message>
        <source>Merge multiple files on disk</source>
        <translation>Mehrere Dateien zu einer zusammenführen</translation>
    </message>
    <message>
        <source>&amp;Convert</source>
        <translation>&amp;Konvertieren</translation>
    </message>
    <message>
        <source>Convert old files to the current format</source>
        <translation>Alte Dateien in das aktuelle Format konvertieren</translation>
    </message>
    <message>
        <source>R&amp;evert</source>
        <translation>Zu&amp;rücksetzen</translation>
    </message>
    <message>
        <source>Reverts the current file to its original contents</source>
        <translation>Setzt die aktuelle Datei auf ihren gespeicherten Inhalt zurück</translation>
    </message>
    <message>
        <source>In&amp;formation</source>
        <translation>&amp;Informationen</translation>
    </message>
    <message>
        <source>Get information about the current file</source>
        <translation>Informationen über die aktuelle Datei anzeigen</translation>
    </message>
    <message>
        <source>Earlier &amp;versions...</source>
        <translation>Frühere &amp;Versionen...</translation>
    </message>
    <message>
        <source>Restore a version of the current file kept at an earlier save</source>
        <translation>Eine bei einem früheren Speichern aufbewahrte Version der aktuellen Datei wiederherstellen</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Exit Mnemodeck</source>
        <translation>Mnemodeck beenden</translation>
    </message>
    <message>
        <source>C&amp;ut</source>
        <translation>&amp;Ausschneiden</translation>
    </message>
    <message>
        <source>Cut the current card from the card file</source>
        <translation>Die aktuelle Karte aus der Kartendatei ausschneiden</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>Copy the current card to memory</source>
        <translation>Die aktuelle Karte in den Speicher kopieren</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Einfügen</translation>
    </message>
    <message>
        <source>Paste a card into the current file from memory</source>
        <translation>Eine Karte aus dem Speicher in die aktuelle Datei einfügen</translation>
    </message>
    <message>
        <source>Paste &amp;from...</source>
        <translation>Einfügen a&amp;us...</translation>
    </message>
    <message>
        <source>Paste from a card file</source>
        <translation>Aus einer Kartendatei einfügen</translation>
    </message>
    <message>
        <source>C&amp;opy to File</source>
        <translation>In &amp;Datei kopieren</translation>
    </message>
    <message>
        <source>Copy the current card to a different file</source>
        <translation>Die aktuelle Karte in eine andere Datei kopieren</translation>
    </message>
    <message>
        <source>Copy to File &amp;Destination</source>
        <translation>Kopier&amp;ziel festlegen</translation>
    </message>
    <message>
        <source>Set the file to which your cards will be copied</source>
        <translation>Die Datei festlegen, in die Ihre Karten kopiert werden</translation>
    </message>
    <message>
        <source>Create a new category</source>
        <translation>Eine neue Kategorie anlegen</translation>
    </message>
    <message>
        <source>&amp;Rename</source>
        <translation>&amp;Umbenennen</translation>
    </message>
    <message>
        <source>Rename the current category</source>
        <translation>Die aktuelle Kategorie umbenennen</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>Delete the current category</source>
        <translation>Die aktuelle Kategorie löschen</translation>
    </message>
    <message>
        <source>&amp;Clear</source>
        <translation>Lee&amp;ren</translation>
    </message>
    <message>
        <source>Delete all the cards in this category</source>
        <translation>Alle Karten dieser Kategorie löschen</translation>
    </message>
    <message>
        <source>&amp;Save separately</source>
        <translation>Einzeln &amp;speichern</translation>
    </message>
    <message>
        <source>Save the current category in its own file</source>
        <translation>Die aktuelle Kategorie in einer eigenen Datei speichern</translation>
    </message>
    <message>
        <source>&amp;View subcategories also</source>
        <translation>Unterkategorien &amp;mit anzeigen</translation>
    </message>
    <message>
        <source>Show the cards in the subcategories of the current category in addition to the regular cards</source>
        <translation>Zusätzlich zu den eigenen Karten auch die Karten der Unterkategorien der aktuellen Kategorie zeigen</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Hinzufügen</translation>
    </message>
    <message>
        <source>Add a new card or new cards</source>
        <translation>Eine oder mehrere neue Karten hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Search</source>
        <translation>&amp;Suchen</translation>
    </message>
    <message>
        <source>Search for a card</source>
        <translation>Nach einer Karte suchen</translation>
    </message>
    <message>
        <source>Search again</source>
        <translation>&amp;Weitersuchen</translation>
    </message>
    <message>
        <source>Search for the last search string again</source>
        <translation>Erneut nach dem letzten Suchtext suchen</translation>
    </message>
    <message>
        <source>S&amp;huffle</source>
        <translation>&amp;Mischen</translation>
    </message>
    <message>
        <source>Shuffle the current card file</source>
        <translation>Die aktuelle Kartendatei mischen</translation>
    </message>
    <message>
        <source>&amp;Flip</source>
        <translation>&amp;Umdrehen</translation>
    </message>
    <message>
        <source>Flip all the cards in the current file</source>
        <translation>Alle Karten der aktuellen Datei umdrehen</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>Edit the current card</source>
        <translation>Die aktuelle Karte bearbeiten</translation>
    </message>
    <message>
        <source>Delete the current card</source>
        <translation>Die aktuelle Karte löschen</translation>
    </message>
    <message>
        <source>&amp;Undelete</source>
        <translation>Wi&amp;ederherstellen</translation>
    </message>
    <message>
        <source>Undelete one or more cards</source>
        <translation>Eine oder mehrere gelöschte Karten wiederherstellen</translation>
    </message>
    <message>
        <source>Undelete a&amp;ll</source>
        <translation>&amp;Alle wiederherstellen</translation>
    </message>
    <message>
        <source>Undelete all cards deleted from this card file</source>
        <translation>Alle aus dieser Kartendatei gelöschten Karten wiederherstellen</translation>
    </message>
    <message>
        <source>Ma&amp;rk</source>
        <translation>Ma&amp;rkieren</translation>
    </message>
    <message>
        <source>Mark this card to exclude it from testing</source>
        <translation>Diese Karte markieren, um sie von der Abfrage auszunehmen</translation>
    </message>
    <message>
        <source>Unmar&amp;k all</source>
        <translation>Alle Markierungen au&amp;fheben</translation>
    </message>
    <message>
        <source>Unmark all the cards in this file to include them in testing</source>
        <translation>Die Markierung aller Karten dieser Datei aufheben, um sie wieder abzufragen</translation>
    </message>
    <message>
        <source>&amp;Jump to Card</source>
        <translation>&amp;Gehe zu Karte</translation>
    </message>
    <message>
        <source>Jump to a card</source>
        <translation>Zu einer Karte springen</translation>
    </message>
    <message>
        <source>&amp;Move</source>
        <translation>&amp;Verschieben</translation>
    </message>
    <message>
        <source>Move a card to a different position in the file</source>
        <translation>Eine Karte an eine andere Stelle der Datei verschieben</translation>
    </message>
    <message>
        <source>Change f&amp;ont</source>
        <translation>Schrif&amp;tart ändern</translation>
    </message>
    <message>
        <source>Change the card font</source>
        <translation>Die Schriftart der Karten ändern</translation>
    </message>
    <message>
        <source>&amp;Notepad...</source>
        <translation>&amp;Notizblock...</translation>
    </message>
    <message>
        <source>Display a notepad</source>
        <translation>Einen Notizblock anzeigen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Get on-line help</source>
        <translation>Die Online-Hilfe aufrufen</translation>
    </message>
    <message>
        <source>&amp;About Mnemodeck</source>
        <translation>Ü&amp;ber Mnemodeck</translation>
    </message>
    <message>
        <source>About Mnemodeck</source>
        <translation>Über Mnemodeck</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>C&amp;ategory</source>
        <translation>&amp;Kategorie</translation>
    </message>
    <message>
        <source>&amp;Card</source>
        <translation>Ka&amp;rte</translation>
    </message>
    <message>
        <source>U&amp;ndo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>U&amp;ndo %1</source>
        <translation>&amp;Rückgängig: %1</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederholen</translation>
    </message>
    <message>
        <source>&amp;Redo %1</source>
        <translation>&amp;Wiederholen: %1</translation>
    </message>
    <message>
        <source>&amp;Import...</source>
        <translation>I&amp;mportieren...</translation>
    </message>
    <message>
        <source>Expor&amp;t...</source>
        <translation>E&amp;xportieren...</translation>
    </message>
    <message>
        <source>Write cards to a spreadsheet, a text file or a vocabulary file</source>
        <translation>Karten in eine Tabelle, eine Textdatei oder eine Vokabeldatei schreiben</translation>
    </message>
    <message>
        <source>Undo the last change to the cards or categories</source>
        <translation>Die letzte Änderung an den Karten oder Kategorien rückgängig machen</translation>
    </message>
    <message>
        <source>Redo the change last undone</source>
        <translation>Die zuletzt rückgängig gemachte Änderung wiederholen</translation>
    </message>
    <message>
        <source>Re&amp;view...</source>
        <translation>Lernrun&amp;de...</translation>
    </message>
    <message>
        <source>Review the cards you do not know yet, the ones due first</source>
        <translation>Die Karten lernen, die Sie noch nicht können, die fälligen zuerst</translation>
    </message>
    <message>
        <source>Stat&amp;istics...</source>
        <translation>Stat&amp;istik...</translation>
    </message>
    <message>
        <source>Show how well the cards are known</source>
        <translation>Zeigen, wie gut die Karten sitzen</translation>
    </message>
    <message>
        <source>Add the cards of a spreadsheet, a text export, a vocabulary file or a flashcard package</source>
        <translation>Die Karten einer Tabelle, eines Textexports, einer Vokabeldatei oder eines Lernkartenpakets hinzufügen</translation>
    </message>
    <message>
        <source>Review op&amp;tions...</source>
        <translation>Lernrunden-&amp;Optionen...</translation>
    </message>
    <message>
        <source>Set how many cards a round takes, which side asks and when a new day starts</source>
        <translation>Festlegen, wie viele Karten eine Runde nimmt, welche Seite fragt und wann ein neuer Tag beginnt</translation>
    </message>
</context>
<context>
    <name>MergeDlg</name>
    <message>
        <source>Merge Files</source>
        <translation>Dateien zusammenführen</translation>
    </message>
    <message>
        <source>Source files:</source>
        <translation>Quelldateien:</translation>
    </message>
    <message>
        <source>New source:</source>
        <translation>Neue Quelle:</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>Wählen...</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>An&amp;fügen</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>Sources:</source>
        <translation>Quellen:</translation>
    </message>
    <message>
        <source>Destination:</source>
        <translation>Ziel:</translation>
    </message>
    <message>
        <source>Load destination file after merge</source>
        <translation>Zieldatei nach dem Zusammenführen laden</translation>
    </message>
    <message>
        <source>&amp;Merge</source>
        <translation>&amp;Vereinen</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>New source</source>
        <translation>Neue Quelle</translation>
    </message>
    <message>
        <source>Chooses a new source file</source>
        <translation>Wählt eine neue Quelldatei</translation>
    </message>
    <message>
        <source>Sources</source>
        <translation>Quellen</translation>
    </message>
    <message>
        <source>Destination</source>
        <translation>Ziel</translation>
    </message>
    <message>
        <source>Chooses the destination file</source>
        <translation>Wählt die Zieldatei</translation>
    </message>
</context>
<context>
    <name>Mnemodeck</name>
    <message>
        <source>You must have a least one card in your file to move a card.</source>
        <translation>Zum Verschieben muss Ihre Datei mindestens eine Karte enthalten.</translation>
    </message>
    <message>
        <source>&quot; already exists.  You must think of a category name which has not already been used.</source>
        <translation>&quot; gibt es bereits.  Wählen Sie einen Kategorienamen, der noch nicht vergeben ist.</translation>
    </message>
    <message>
        <source>You must choose a destination for your cards.</source>
        <translation>Wählen Sie ein Ziel für Ihre Karten.</translation>
    </message>
    <message>
        <source>You cannot move your cards into the same category.</source>
        <translation>Karten können nicht in dieselbe Kategorie verschoben werden.</translation>
    </message>
    <message>
        <source>It is not a regular file.</source>
        <translation>Es ist keine gewöhnliche Datei.</translation>
    </message>
    <message>
        <source>The file is too large to be a card file.</source>
        <translation>Die Datei ist zu groß für eine Kartendatei.</translation>
    </message>
    <message>
        <source>The original could not be kept as %1 (%2), so the file was left as it was.</source>
        <translation>Das Original konnte nicht als %1 aufbewahrt werden (%2), daher blieb die Datei unverändert.</translation>
    </message>
    <message>
        <source>No free name for a copy of the original was found beside it.</source>
        <translation>Neben dem Original fand sich kein freier Name für eine Kopie.</translation>
    </message>
    <message>
        <source> appears to be of a previous format.  Do you want to convert it?</source>
        <translation> scheint ein früheres Format zu haben.  Möchten Sie die Datei konvertieren?</translation>
    </message>
    <message>
        <source> The original is kept as %1.</source>
        <translation> Das Original bleibt als %1 erhalten.</translation>
    </message>
    <message>
        <source>Auto Convert</source>
        <translation>Automatisch konvertieren</translation>
    </message>
    <message>
        <source>Convert file</source>
        <translation>Datei konvertieren</translation>
    </message>
    <message>
        <source>File is already in Mnemodeck 4.30 format.  Cannot convert it.</source>
        <translation>Die Datei hat bereits das Format von Mnemodeck 4.30.  Sie kann nicht konvertiert werden.</translation>
    </message>
    <message>
        <source>The file is too large to convert.</source>
        <translation>Die Datei ist zu groß zum Konvertieren.</translation>
    </message>
    <message>
        <source>Cannot access the file to convert.</source>
        <translation>Auf die zu konvertierende Datei kann nicht zugegriffen werden.</translation>
    </message>
    <message>
        <source>Cannot continue to load this file.  It is of a previous and unintelligible format.</source>
        <translation>Die Datei kann nicht weiter geladen werden.  Sie hat ein früheres, nicht lesbares Format.</translation>
    </message>
    <message>
        <source>a new deck</source>
        <translation>einem neuen Kartensatz</translation>
    </message>
    <message>
        <source>Unsaved changes to %1 from %2 (%3 cards) were found. Recover them?</source>
        <translation>Es wurden nicht gespeicherte Änderungen an %1 vom %2 gefunden (%3 Karten). Wiederherstellen?</translation>
    </message>
    <message>
        <source>Cannot make the folder %1.</source>
        <translation>Der Ordner %1 kann nicht angelegt werden.</translation>
    </message>
    <message>
        <source>The file cannot be written (%1), and its folder does not allow a new copy to take its place.</source>
        <translation>Die Datei kann nicht geschrieben werden (%1), und ihr Ordner erlaubt nicht, sie durch eine neue Kopie zu ersetzen.</translation>
    </message>
    <message>
        <source>Its folder does not allow the file to be replaced, so it was overwritten where it stands, and that failed: %1. The file on disk may be incomplete; save the cards in another folder.</source>
        <translation>Ihr Ordner erlaubt nicht, die Datei zu ersetzen, daher wurde sie an Ort und Stelle überschrieben, und das ist fehlgeschlagen: %1. Die Datei auf dem Datenträger ist möglicherweise unvollständig; speichern Sie die Karten in einem anderen Ordner.</translation>
    </message>
    <message>
        <source>A folder of that name is in the way.</source>
        <translation>Ein Ordner dieses Namens ist im Weg.</translation>
    </message>
    <message>
        <source>The file was not written.</source>
        <translation>Die Datei wurde nicht geschrieben.</translation>
    </message>
    <message>
        <source>Not all of the file could be written; the disk may be full.</source>
        <translation>Die Datei konnte nicht vollständig geschrieben werden; möglicherweise ist der Datenträger voll.</translation>
    </message>
    <message>
        <source> does not exist.</source>
        <translation> gibt es nicht.</translation>
    </message>
    <message>
        <source> is the destination file itself and cannot be merged into it.</source>
        <translation> ist die Zieldatei selbst und kann nicht mit ihr zusammengeführt werden.</translation>
    </message>
    <message>
        <source>%1 would be larger than a card file can be, so nothing was merged into it.</source>
        <translation>%1 würde größer, als eine Kartendatei sein darf, daher wurde nichts zusammengeführt.</translation>
    </message>
    <message>
        <source>%1 could not be read, so nothing was merged into it.</source>
        <translation>%1 konnte nicht gelesen werden, daher wurde nichts zusammengeführt.</translation>
    </message>
    <message>
        <source>%1 is not a card file, so nothing was merged into it.</source>
        <translation>%1 ist keine Kartendatei, daher wurde nichts zusammengeführt.</translation>
    </message>
    <message>
        <source>%1 is damaged: it ends inside its categories, so nothing was merged into it.</source>
        <translation>%1 ist beschädigt: Sie endet mitten in ihren Kategorien, daher wurde nichts zusammengeführt.</translation>
    </message>
    <message>
        <source>%1 could not be read.</source>
        <translation>%1 konnte nicht gelesen werden.</translation>
    </message>
    <message>
        <source>%1 is not a card file of this version.</source>
        <translation>%1 ist keine Kartendatei dieser Version.</translation>
    </message>
    <message>
        <source>%1 could not be written: %2</source>
        <translation>%1 konnte nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>%1 could not be read, so the card was not copied.</source>
        <translation>%1 konnte nicht gelesen werden, daher wurde die Karte nicht kopiert.</translation>
    </message>
    <message>
        <source>%1 is not a card file, so the card was not copied.</source>
        <translation>%1 ist keine Kartendatei, daher wurde die Karte nicht kopiert.</translation>
    </message>
    <message>
        <source>%1 is damaged: it ends inside its categories, so the card was not copied.</source>
        <translation>%1 ist beschädigt: Sie endet mitten in ihren Kategorien, daher wurde die Karte nicht kopiert.</translation>
    </message>
    <message>
        <source>%1 changed while the card was being copied; try again.</source>
        <translation>%1 wurde während des Kopierens der Karte geändert; versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>%1 could not be written and may now end in part of a card: %2</source>
        <translation>%1 konnte nicht geschrieben werden und endet jetzt womöglich mitten in einer Karte: %2</translation>
    </message>
    <message>
        <source>You must have at least 1 source file.</source>
        <translation>Sie brauchen mindestens eine Quelldatei.</translation>
    </message>
    <message>
        <source>You must type a destination file name.</source>
        <translation>Geben Sie den Namen einer Zieldatei ein.</translation>
    </message>
    <message>
        <source>Paste from</source>
        <translation>Einfügen aus</translation>
    </message>
    <message>
        <source>An error occured.  Did you type the correct name?</source>
        <translation>Ein Fehler ist aufgetreten.  Haben Sie den richtigen Namen eingegeben?</translation>
    </message>
    <message>
        <source>Cannot insert all the cards.  Your file has exceeded the maximum possible size</source>
        <translation>Nicht alle Karten können eingefügt werden.  Ihre Datei hat die größtmögliche Größe überschritten</translation>
    </message>
    <message>
        <source>File inserted</source>
        <translation>Datei eingefügt</translation>
    </message>
    <message>
        <source>To copy a card, you must be viewing the card you wish to copy.</source>
        <translation>Um eine Karte zu kopieren, muss die gewünschte Karte angezeigt sein.</translation>
    </message>
    <message>
        <source>Cannot create the folder %1.</source>
        <translation>Der Ordner %1 kann nicht angelegt werden.</translation>
    </message>
    <message>
        <source>Cannot keep an earlier version of %1: %2</source>
        <translation>Eine frühere Version von %1 kann nicht aufbewahrt werden: %2</translation>
    </message>
    <message>
        <source>Cannot add this card.  Your file has exceeded the maximum possible size</source>
        <translation>Diese Karte kann nicht hinzugefügt werden.  Ihre Datei hat die größtmögliche Größe überschritten</translation>
    </message>
    <message>
        <source>Cannot undelete all the deleted cards.  Your file has exceeded the maximum possible size</source>
        <translation>Nicht alle gelöschten Karten können wiederhergestellt werden.  Ihre Datei hat die größtmögliche Größe überschritten</translation>
    </message>
    <message>
        <source>Total cards: </source>
        <translation>Karten insgesamt: </translation>
    </message>
    <message>
        <source>Mnemodeck - Untitled</source>
        <translation>Mnemodeck - Unbenannt</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Drucken</translation>
    </message>
    <message>
        <source>You must have at least one card to print.</source>
        <translation>Zum Drucken brauchen Sie mindestens eine Karte.</translation>
    </message>
    <message>
        <source>You must have at least one card in this category to print.</source>
        <translation>Zum Drucken muss diese Kategorie mindestens eine Karte enthalten.</translation>
    </message>
    <message>
        <source>You must have at least one card in this category or its sub-categories to print.</source>
        <translation>Zum Drucken muss diese Kategorie oder eine ihrer Unterkategorien mindestens eine Karte enthalten.</translation>
    </message>
    <message>
        <source>The cards could not be printed.</source>
        <translation>Die Karten konnten nicht gedruckt werden.</translation>
    </message>
    <message>
        <source>You must have at least 1 card in your card collection to use Search.</source>
        <translation>Zum Suchen muss Ihre Kartensammlung mindestens eine Karte enthalten.</translation>
    </message>
    <message>
        <source>Duplicates on side 1</source>
        <translation>Duplikate auf Seite 1</translation>
    </message>
    <message>
        <source>Duplicates on side 2</source>
        <translation>Duplikate auf Seite 2</translation>
    </message>
    <message>
        <source>You must have at least 2 cards in your card collection to shuffle.</source>
        <translation>Zum Mischen muss Ihre Kartensammlung mindestens zwei Karten enthalten.</translation>
    </message>
    <message>
        <source>You must have at least 1 card to flip.</source>
        <translation>Zum Umdrehen brauchen Sie mindestens eine Karte.</translation>
    </message>
    <message>
        <source>Formatting...</source>
        <translation>Vorbereiten...</translation>
    </message>
    <message>
        <source>Initializing...</source>
        <translation>Initialisieren...</translation>
    </message>
    <message>
        <source>Shuffling...</source>
        <translation>Mischen...</translation>
    </message>
    <message>
        <source>Reintegrating...</source>
        <translation>Zurückführen...</translation>
    </message>
    <message>
        <source>Card </source>
        <translation>Karte </translation>
    </message>
    <message>
        <source>, side 1</source>
        <translation>, Seite 1</translation>
    </message>
    <message>
        <source>, side 2</source>
        <translation>, Seite 2</translation>
    </message>
    <message>
        <source>Zoom %1%</source>
        <translation>Zoom %1 %</translation>
    </message>
    <message>
        <source>Mnemodeck Files (*.mdk);;All Files (*)</source>
        <translation>Mnemodeck-Dateien (*.mdk);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Add Card</source>
        <translation>Karte hinzufügen</translation>
    </message>
    <message>
        <source>Revert will erase all the changes you have made to this file since last you saved it.  Are you sure you want to revert this file?</source>
        <translation>Zurücksetzen verwirft alle Änderungen, die Sie seit dem letzten Speichern an dieser Datei vorgenommen haben.  Möchten Sie die Datei wirklich zurücksetzen?</translation>
    </message>
    <message>
        <source>File Open</source>
        <translation>Datei öffnen</translation>
    </message>
    <message>
        <source>Save separately</source>
        <translation>Einzeln speichern</translation>
    </message>
    <message>
        <source>This file</source>
        <translation>Diese Datei</translation>
    </message>
    <message>
        <source> has changed.  Would you like to save it before exiting?</source>
        <translation> wurde geändert.  Möchten Sie die Datei vor dem Beenden speichern?</translation>
    </message>
    <message>
        <source>Cannot save a blank file.  You must have at least 1 card or category.</source>
        <translation>Eine leere Datei kann nicht gespeichert werden.  Sie brauchen mindestens eine Karte oder Kategorie.</translation>
    </message>
    <message>
        <source>An error occured.  The file could not be opened.</source>
        <translation>Ein Fehler ist aufgetreten.  Die Datei konnte nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>Cannot load all the cards in this file.  Your file has exceeded the maximum possible size</source>
        <translation>Nicht alle Karten dieser Datei können geladen werden.  Ihre Datei hat die größtmögliche Größe überschritten</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Datei speichern</translation>
    </message>
    <message>
        <source> has changed.  Would you like to save it before loading a new card file?</source>
        <translation> wurde geändert.  Möchten Sie die Datei speichern, bevor eine neue Kartendatei geladen wird?</translation>
    </message>
    <message>
        <source>Copy to File</source>
        <translation>In Datei kopieren</translation>
    </message>
    <message>
        <source>Copy to File Destination</source>
        <translation>Zieldatei für Kopien</translation>
    </message>
    <message>
        <source>Version 1.00</source>
        <translation>Version 1.00</translation>
    </message>
    <message>
        <source>Version 2.01</source>
        <translation>Version 2.01</translation>
    </message>
    <message>
        <source>Version 3.01</source>
        <translation>Version 3.01</translation>
    </message>
    <message>
        <source>Later than 3.01</source>
        <translation>Neuer als 3.01</translation>
    </message>
    <message>
        <source>%1 cards added, %2 skipped, %3 updated</source>
        <translation>Karten hinzugefügt: %1, übersprungen: %2, aktualisiert: %3</translation>
    </message>
    <message>
        <source>%1 lines could not be read (the first at line %2: %3)</source>
        <translation>nicht lesbare Zeilen: %1 (die erste ist Zeile %2: %3)</translation>
    </message>
    <message>
        <source>the deck is full, so the rest was left out</source>
        <translation>der Kartensatz ist voll, daher wurde der Rest ausgelassen</translation>
    </message>
    <message>
        <source>a quote is never closed</source>
        <translation>ein Anführungszeichen wird nicht geschlossen</translation>
    </message>
    <message>
        <source>text after a closing quote</source>
        <translation>Text nach einem schließenden Anführungszeichen</translation>
    </message>
    <message>
        <source>too few columns</source>
        <translation>zu wenige Spalten</translation>
    </message>
    <message>
        <source>No card could be read (the first fault at line %1: %2).</source>
        <translation>Keine Karte konnte gelesen werden (der erste Fehler in Zeile %1: %2).</translation>
    </message>
    <message>
        <source>The file holds no card.</source>
        <translation>Die Datei enthält keine Karte.</translation>
    </message>
    <message>
        <source>The file is empty.</source>
        <translation>Die Datei ist leer.</translation>
    </message>
    <message>
        <source>The file is not text (it holds NUL bytes).</source>
        <translation>Die Datei ist kein Text (sie enthält NUL-Bytes).</translation>
    </message>
    <message>
        <source>The file is larger than 2 GB.</source>
        <translation>Die Datei ist größer als 2 GB.</translation>
    </message>
    <message>
        <source>The file could not be read: %1</source>
        <translation>Die Datei konnte nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>read as Windows-1252, since the file is not valid UTF-8 as it declares</source>
        <translation>als Windows-1252 gelesen, da die Datei nicht wie angegeben gültiges UTF-8 ist</translation>
    </message>
    <message>
        <source>This is not a KDE vocabulary document.</source>
        <translation>Dies ist keine KDE-Vokabeldatei.</translation>
    </message>
    <message>
        <source>The XML is broken at line %1, column %2: %3</source>
        <translation>Das XML ist in Zeile %1, Spalte %2 fehlerhaft: %3</translation>
    </message>
    <message>
        <source>The document holds no entry.</source>
        <translation>Das Dokument enthält keinen Eintrag.</translation>
    </message>
    <message>
        <source>The review progress is in use by another program; answers are not saved.</source>
        <translation>Der Lernfortschritt wird von einem anderen Programm benutzt; Antworten werden nicht gespeichert.</translation>
    </message>
    <message>
        <source>The data folder cannot be written; review progress is not saved.</source>
        <translation>In den Datenordner kann nicht geschrieben werden; der Lernfortschritt wird nicht gespeichert.</translation>
    </message>
    <message>
        <source>The review progress cannot be opened; answers are not saved.</source>
        <translation>Der Lernfortschritt kann nicht geöffnet werden; Antworten werden nicht gespeichert.</translation>
    </message>
    <message>
        <source>The review progress was damaged; it was kept as %1 and a new one started.</source>
        <translation>Der Lernfortschritt war beschädigt; er wurde als %1 aufbewahrt und neu begonnen.</translation>
    </message>
    <message>
        <source>The review progress is damaged; answers are not saved.</source>
        <translation>Der Lernfortschritt ist beschädigt; Antworten werden nicht gespeichert.</translation>
    </message>
    <message>
        <source>card %1 of %2 · %3 known · %4 missed</source>
        <translation>Karte %1 von %2 · %3 gewusst · %4 nicht gewusst</translation>
    </message>
    <message>
        <source>No card was answered.</source>
        <translation>Keine Karte wurde beantwortet.</translation>
    </message>
    <message>
        <source>%1 % known (%2 of %3 cards)</source>
        <translation>%1 % gewusst (%2 von %3 Karten)</translation>
    </message>
    <message>
        <source>The round was ended after %1 of %2 cards.</source>
        <translation>Die Runde wurde nach %1 von %2 Karten beendet.</translation>
    </message>
    <message>
        <source>Time taken: %1 min %2 s</source>
        <translation>Dauer: %1 min %2 s</translation>
    </message>
    <message>
        <source>Time taken: %1 s</source>
        <translation>Dauer: %1 s</translation>
    </message>
    <message>
        <source>The answers of this round were not saved.</source>
        <translation>Die Antworten dieser Runde wurden nicht gespeichert.</translation>
    </message>
    <message>
        <source>Text files (*.txt);;All Files (*)</source>
        <translation>Textdateien (*.txt);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>KDE vocabulary (*.kvtml);;All Files (*)</source>
        <translation>KDE-Vokabeldateien (*.kvtml);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>CSV files (*.csv);;All Files (*)</source>
        <translation>CSV-Dateien (*.csv);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importieren</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Exportieren</translation>
    </message>
    <message>
        <source>No card</source>
        <translation>Keine Karte</translation>
    </message>
    <message>
        <source>Card %1 of %2, side %3</source>
        <translation>Karte %1 von %2, Seite %3</translation>
    </message>
    <message>
        <source>Unsaved changes to %1 from %2 (1 card) were found. Recover them?</source>
        <translation>Es wurden nicht gespeicherte Änderungen an %1 vom %2 gefunden (1 Karte). Wiederherstellen?</translation>
    </message>
    <message>
        <source>out of memory</source>
        <translation>nicht genug Speicher</translation>
    </message>
    <message>
        <source>it could not be written to a temporary file</source>
        <translation>sie konnte nicht in eine temporäre Datei geschrieben werden</translation>
    </message>
    <message>
        <source>its compressed data is damaged (%1)</source>
        <translation>ihre komprimierten Daten sind beschädigt (%1)</translation>
    </message>
    <message>
        <source>its compressed data is cut off</source>
        <translation>ihre komprimierten Daten brechen ab</translation>
    </message>
    <message>
        <source>it expands to more than %1 MB</source>
        <translation>sie wird entpackt größer als %1 MB</translation>
    </message>
    <message>
        <source>The collection&apos;s settings cannot be read (%1).</source>
        <translation>Die Einstellungen der Sammlung sind nicht lesbar (%1).</translation>
    </message>
    <message>
        <source>The collection&apos;s note types cannot be read (%1).</source>
        <translation>Die Notiztypen der Sammlung sind nicht lesbar (%1).</translation>
    </message>
    <message>
        <source>The collection&apos;s decks cannot be read (%1).</source>
        <translation>Die Stapel der Sammlung sind nicht lesbar (%1).</translation>
    </message>
    <message>
        <source>The settings of the note type &quot;%1&quot; are damaged.</source>
        <translation>Die Einstellungen des Notiztyps „%1“ sind beschädigt.</translation>
    </message>
    <message>
        <source>The collection&apos;s fields cannot be read (%1).</source>
        <translation>Die Felder der Sammlung sind nicht lesbar (%1).</translation>
    </message>
    <message>
        <source>The collection&apos;s card templates cannot be read (%1).</source>
        <translation>Die Kartenvorlagen der Sammlung sind nicht lesbar (%1).</translation>
    </message>
    <message>
        <source>The card template &quot;%1&quot; of &quot;%2&quot; is damaged.</source>
        <translation>Die Kartenvorlage „%1“ von „%2“ ist beschädigt.</translation>
    </message>
    <message>
        <source>The collection is incomplete: it has no table &quot;%1&quot;.</source>
        <translation>Die Sammlung ist unvollständig: Ihr fehlt die Tabelle „%1“.</translation>
    </message>
    <message>
        <source>The collection&apos;s cards cannot be read (%1).</source>
        <translation>Die Karten der Sammlung sind nicht lesbar (%1).</translation>
    </message>
    <message>
        <source>unknown note type</source>
        <translation>unbekannter Notiztyp</translation>
    </message>
    <message>
        <source>note type without fields</source>
        <translation>Notiztyp ohne Felder</translation>
    </message>
    <message>
        <source>fields longer than 1 MB</source>
        <translation>Felder länger als 1 MB</translation>
    </message>
    <message>
        <source>card template missing</source>
        <translation>Kartenvorlage fehlt</translation>
    </message>
    <message>
        <source>nothing to show</source>
        <translation>nichts anzuzeigen</translation>
    </message>
    <message>
        <source>pictures or sounds only</source>
        <translation>nur Bilder oder Töne</translation>
    </message>
    <message>
        <source>The collection&apos;s review history cannot be read (%1).</source>
        <translation>Der Lernverlauf der Sammlung ist nicht lesbar (%1).</translation>
    </message>
    <message>
        <source>The package is refused: it holds a file named &quot;%1&quot;, outside its own folder.</source>
        <translation>Das Paket wird abgelehnt: Es enthält eine Datei namens „%1“ außerhalb seines eigenen Ordners.</translation>
    </message>
    <message>
        <source>The package is refused: it holds a link (&quot;%1&quot;).</source>
        <translation>Das Paket wird abgelehnt: Es enthält eine Verknüpfung („%1“).</translation>
    </message>
    <message>
        <source>The package holds no collection of cards.</source>
        <translation>Das Paket enthält keine Kartensammlung.</translation>
    </message>
    <message>
        <source>The package could not be unpacked: %1</source>
        <translation>Das Paket konnte nicht entpackt werden: %1</translation>
    </message>
    <message>
        <source>The package&apos;s collection could not be unpacked: %1.</source>
        <translation>Die Sammlung des Pakets konnte nicht entpackt werden: %1.</translation>
    </message>
    <message>
        <source>The package&apos;s collection is not an SQLite database.</source>
        <translation>Die Sammlung des Pakets ist keine SQLite-Datenbank.</translation>
    </message>
    <message>
        <source>The package&apos;s collection cannot be opened (%1).</source>
        <translation>Die Sammlung des Pakets lässt sich nicht öffnen (%1).</translation>
    </message>
    <message>
        <source>The package holds no cards.</source>
        <translation>Das Paket enthält keine Karten.</translation>
    </message>
    <message>
        <source>%1 cards were left out: %2</source>
        <translation>%1 Karten wurden ausgelassen: %2</translation>
    </message>
    <message>
        <source>%1 cards referred to pictures or sounds, which were left out (%2%3)</source>
        <translation>%1 Karten verwiesen auf Bilder oder Töne, die ausgelassen wurden (%2%3)</translation>
    </message>
    <message>
        <source>%1 suspended and %2 buried cards came in as ordinary cards</source>
        <translation>%1 ausgesetzte und %2 zurückgestellte Karten kamen als gewöhnliche Karten herein</translation>
    </message>
    <message>
        <source>the package&apos;s history holds %1 reviews of these cards</source>
        <translation>der Verlauf des Pakets enthält %1 Wiederholungen dieser Karten</translation>
    </message>
    <message>
        <source>%1 deck names had empty levels, which were left out</source>
        <translation>%1 Stapelnamen hatten leere Ebenen, die ausgelassen wurden</translation>
    </message>
    <message>
        <source>the package&apos;s list of media files is damaged</source>
        <translation>die Medienliste des Pakets ist beschädigt</translation>
    </message>
    <message>
        <source>The package holds no cards that can be read: %1.</source>
        <translation>Das Paket enthält keine lesbaren Karten: %1.</translation>
    </message>
    <message>
        <source>The file is not a readable package (a zip archive): %1</source>
        <translation>Die Datei ist kein lesbares Paket (kein ZIP-Archiv): %1</translation>
    </message>
    <message>
        <source>cancelled</source>
        <translation>abgebrochen</translation>
    </message>
    <message>
        <source>the package could not be made</source>
        <translation>das Paket konnte nicht erstellt werden</translation>
    </message>
    <message>
        <source> and %1 more</source>
        <translation> und %1 weitere</translation>
    </message>
    <message>
        <source>entry ids used more than once, each entry made a card: %1</source>
        <translation>mehrfach verwendete Eintragsnummern, jeder Eintrag wurde eine Karte: %1</translation>
    </message>
    <message>
        <source>categories that joined the one of the same name elsewhere in the tree: %1</source>
        <translation>Kategorien, die mit der gleichnamigen an anderer Stelle im Baum zusammengelegt wurden: %1</translation>
    </message>
    <message>
        <source>conjugations, examples, comments and other parts of entries left out: %1</source>
        <translation>ausgelassene Konjugationen, Beispiele, Kommentare und andere Teile von Einträgen: %1</translation>
    </message>
    <message>
        <source>lines with bytes that are not UTF-8, read as Windows-1252: %1</source>
        <translation>Zeilen mit Bytes, die kein UTF-8 sind, als Windows-1252 gelesen: %1</translation>
    </message>
    <message>
        <source>every column is empty</source>
        <translation>alle Spalten sind leer</translation>
    </message>
    <message>
        <source>This is a card file. Use File &gt; Merge or Edit &gt; Paste from to add its cards.</source>
        <translation>Dies ist eine Kartendatei. Ihre Karten fügen Sie mit Datei &gt; Zusammenführen oder Bearbeiten &gt; Einfügen aus hinzu.</translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation>%1 Min.</translation>
    </message>
    <message>
        <source>%1 h</source>
        <translation>%1 Std.</translation>
    </message>
    <message>
        <source>%1 d</source>
        <translation>%1 T.</translation>
    </message>
    <message>
        <source>%1 mo</source>
        <translation>%1 Mon.</translation>
    </message>
    <message>
        <source>%1 y</source>
        <translation>%1 J.</translation>
    </message>
    <message>
        <source>The review progress cannot be written: it is read, but answers are not saved.</source>
        <translation>Der Lernfortschritt kann nicht geschrieben werden: Er wird gelesen, aber Antworten werden nicht gespeichert.</translation>
    </message>
    <message>
        <source>The review progress could not be read (%1); answers are not saved.</source>
        <translation>Der Lernfortschritt konnte nicht gelesen werden (%1); Antworten werden nicht gespeichert.</translation>
    </message>
    <message>
        <source>CSV and text files (*.csv *.tsv *.txt);;KDE vocabulary (*.kvtml);;Flashcard packages (*.apkg *.colpkg);;All Files (*)</source>
        <translation>CSV- und Textdateien (*.csv *.tsv *.txt);;KDE-Vokabeldateien (*.kvtml);;Lernkartenpakete (*.apkg *.colpkg);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Flashcard packages (*.apkg);;All Files (*)</source>
        <translation>Lernkartenpakete (*.apkg);;Alle Dateien (*)</translation>
    </message>
</context>
<context>
    <name>MoveCardDlg</name>
    <message>
        <source>Move Card</source>
        <translation>Karte verschieben</translation>
    </message>
    <message>
        <source>Select the new category for the card(s):</source>
        <translation>Neue Kategorie für die Karte(n) wählen:</translation>
    </message>
    <message>
        <source>Move all the cards in the open category</source>
        <translation>Alle Karten der geöffneten Kategorie verschieben</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Select the new category for the card(s)</source>
        <translation>Neue Kategorie für die Karte(n) wählen</translation>
    </message>
    <message>
        <source>New category</source>
        <translation>Neue Kategorie</translation>
    </message>
</context>
<context>
    <name>PrintDialog</name>
    <message>
        <source>Print cards</source>
        <translation>Karten drucken</translation>
    </message>
    <message>
        <source>Print format</source>
        <translation>Druckformat</translation>
    </message>
    <message>
        <source>Cards to print</source>
        <translation>Zu druckende Karten</translation>
    </message>
    <message>
        <source>Card format</source>
        <translation>Kartenformat</translation>
    </message>
    <message>
        <source>List format</source>
        <translation>Listenformat</translation>
    </message>
    <message>
        <source>All cards</source>
        <translation>Alle Karten</translation>
    </message>
    <message>
        <source>Cards in this category</source>
        <translation>Diese Kategorie</translation>
    </message>
    <message>
        <source>Cards in this category and sub-categories</source>
        <translation>Diese Kategorie und alle darunter</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Pre&amp;view...</source>
        <translation>&amp;Vorschau...</translation>
    </message>
    <message>
        <source>Printer setup...</source>
        <translation>Drucker...</translation>
    </message>
    <message>
        <source>Show confirmation</source>
        <translation>Bestätigung</translation>
    </message>
</context>
<context>
    <name>ReviewOptionsDlg</name>
    <message>
        <source>Review options</source>
        <translation>Lernrunden-Optionen</translation>
    </message>
    <message>
        <source>&amp;New cards per round:</source>
        <translation>&amp;Neue Karten pro Runde:</translation>
    </message>
    <message>
        <source>At most &amp;due cards per round:</source>
        <translation>Höchstens &amp;fällige Karten pro Runde:</translation>
    </message>
    <message>
        <source>&amp;Ask:</source>
        <translation>&amp;Abfrage:</translation>
    </message>
    <message>
        <source>Side 1 first</source>
        <translation>Seite 1 zuerst</translation>
    </message>
    <message>
        <source>Side 2 first</source>
        <translation>Seite 2 zuerst</translation>
    </message>
    <message>
        <source>Mixed</source>
        <translation>Gemischt</translation>
    </message>
    <message>
        <source>A new &amp;day starts at:</source>
        <translation>Ein neuer &amp;Tag beginnt um:</translation>
    </message>
    <message>
        <source>&amp;Scheduler:</source>
        <translation>&amp;Planer:</translation>
    </message>
    <message>
        <source>Memory model (FSRS)</source>
        <translation>Gedächtnismodell (FSRS)</translation>
    </message>
    <message>
        <source>Leitner boxes</source>
        <translation>Leitner-Kästen</translation>
    </message>
    <message>
        <source>&amp;Two buttons (Again / Good)</source>
        <translation>&amp;Zwei Knöpfe (Nochmal / Gut)</translation>
    </message>
    <message>
        <source>Desired &amp;retention:</source>
        <translation>Gewünschte &amp;Behaltensquote:</translation>
    </message>
    <message>
        <source>&amp;Maximum interval (days):</source>
        <translation>&amp;Längster Abstand (Tage):</translation>
    </message>
    <message>
        <source>Parameters:</source>
        <translation>Parameter:</translation>
    </message>
    <message>
        <source>&amp;Optimise</source>
        <translation>&amp;Optimieren</translation>
    </message>
    <message>
        <source>Reset to the &amp;defaults</source>
        <translation>Auf &amp;Standardwerte zurücksetzen</translation>
    </message>
</context>
<context>
    <name>ReviewWindow</name>
    <message>
        <source>Review</source>
        <translation>Lernrunde</translation>
    </message>
    <message>
        <source>Side 1 first</source>
        <translation>Seite 1 zuerst</translation>
    </message>
    <message>
        <source>Side 2 first</source>
        <translation>Seite 2 zuerst</translation>
    </message>
    <message>
        <source>Mixed</source>
        <translation>Gemischt</translation>
    </message>
    <message>
        <source>Didn&apos;t know</source>
        <translation>Nicht gewusst</translation>
    </message>
    <message>
        <source>Show answer</source>
        <translation>Antwort zeigen</translation>
    </message>
    <message>
        <source>Knew it</source>
        <translation>Gewusst</translation>
    </message>
    <message>
        <source>Review the missed ones again</source>
        <translation>Nicht gewusste noch einmal</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>&amp;Ask:</source>
        <translation>&amp;Abfrage:</translation>
    </message>
    <message>
        <source>Space or Enter: show answer · Right, K or 1: knew it · Left, J or 2: didn&apos;t know · Ctrl+Z: take back the last answer · Escape: end</source>
        <translation>Leertaste oder Eingabe: Antwort zeigen · Rechts, K oder 1: gewusst · Links, J oder 2: nicht gewusst · Strg+Z: letzte Antwort zurücknehmen · Esc: beenden</translation>
    </message>
    <message>
        <source>Hard</source>
        <translation>Schwer</translation>
    </message>
    <message>
        <source>Easy</source>
        <translation>Leicht</translation>
    </message>
</context>
<context>
    <name>SearchDlg</name>
    <message>
        <source>Search</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Type in search string:</source>
        <translation>Suchtext eingeben:</translation>
    </message>
    <message>
        <source>Begin search</source>
        <translation>Suche starten</translation>
    </message>
    <message>
        <source>Ex chars...</source>
        <translation>Sonderz...</translation>
    </message>
    <message>
        <source>Case sensitive</source>
        <translation>Groß-/Kleinschreibung</translation>
    </message>
    <message>
        <source>Whole words only</source>
        <translation>Nur ganze Wörter</translation>
    </message>
    <message>
        <source>Delete duplicates on side 1</source>
        <translation>Duplikate auf Seite 1 löschen</translation>
    </message>
    <message>
        <source>Delete duplicates on side 2</source>
        <translation>Duplikate auf Seite 2 löschen</translation>
    </message>
    <message>
        <source>Search Statistics:</source>
        <translation>Suchstatistik:</translation>
    </message>
    <message>
        <source>Total cards:</source>
        <translation>Karten insgesamt:</translation>
    </message>
    <message>
        <source>Search started at card number:</source>
        <translation>Suche begann bei Karte Nummer:</translation>
    </message>
    <message>
        <source>Search is currently scanning card number:</source>
        <translation>Suche prüft gerade Karte Nummer:</translation>
    </message>
    <message>
        <source>Search is searching for string:</source>
        <translation>Suche nach dem Text:</translation>
    </message>
    <message>
        <source>Not yet entered</source>
        <translation>Noch nicht eingegeben</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Search string</source>
        <translation>Suchtext</translation>
    </message>
    <message>
        <source>Searches from the current card on</source>
        <translation>Sucht ab der aktuellen Karte</translation>
    </message>
    <message>
        <source>Extended chars...</source>
        <translation>Sonderzeichen...</translation>
    </message>
</context>
<context>
    <name>ShuffleDlg</name>
    <message>
        <source>Shuffle Cards</source>
        <translation>Karten mischen</translation>
    </message>
    <message>
        <source>Shuffle Options</source>
        <translation>Mischoptionen</translation>
    </message>
    <message>
        <source>Random</source>
        <translation>Zufällig</translation>
    </message>
    <message>
        <source>Reverse</source>
        <translation>Umkehren</translation>
    </message>
    <message>
        <source>Pattern</source>
        <translation>Muster</translation>
    </message>
    <message>
        <source>Alphabetize</source>
        <translation>Alphabetisch</translation>
    </message>
    <message>
        <source>Operation:</source>
        <translation>Vorgang:</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
</context>
<context>
    <name>StatisticsWindow</name>
    <message>
        <source>Statistics</source>
        <translation>Statistik</translation>
    </message>
    <message>
        <source>&amp;Cards:</source>
        <translation>&amp;Karten:</translation>
    </message>
    <message>
        <source>The open view&apos;s cards</source>
        <translation>Karten der aktuellen Ansicht</translation>
    </message>
    <message>
        <source>All decks</source>
        <translation>Alle Kartensätze</translation>
    </message>
    <message>
        <source>Decks whose file is gone:</source>
        <translation>Kartensätze ohne Datei:</translation>
    </message>
    <message>
        <source>&amp;Re-attach...</source>
        <translation>&amp;Neu zuordnen...</translation>
    </message>
    <message>
        <source>Save as PNG</source>
        <translation>Als PNG speichern</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>Step</name>
    <message>
        <source>Add card</source>
        <translation>Karte hinzufügen</translation>
    </message>
    <message>
        <source>Edit card</source>
        <translation>Karte bearbeiten</translation>
    </message>
    <message>
        <source>Delete card</source>
        <translation>Karte löschen</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Ausschneiden</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Einfügen</translation>
    </message>
    <message>
        <source>Paste from</source>
        <translation>Einfügen aus</translation>
    </message>
    <message>
        <source>Undelete</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message>
        <source>Undelete all</source>
        <translation>Alle wiederherstellen</translation>
    </message>
    <message>
        <source>Move card</source>
        <translation>Karte verschieben</translation>
    </message>
    <message>
        <source>Flip</source>
        <translation>Umdrehen</translation>
    </message>
    <message>
        <source>Shuffle</source>
        <translation>Mischen</translation>
    </message>
    <message>
        <source>Delete duplicates</source>
        <translation>Duplikate löschen</translation>
    </message>
    <message>
        <source>New category</source>
        <translation>Neue Kategorie</translation>
    </message>
    <message>
        <source>Rename category</source>
        <translation>Kategorie umbenennen</translation>
    </message>
    <message>
        <source>Delete category</source>
        <translation>Kategorie löschen</translation>
    </message>
    <message>
        <source>Clear category</source>
        <translation>Kategorie leeren</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>Änderung</translation>
    </message>
    <message>
        <source>Move all cards</source>
        <translation>Alle Karten verschieben</translation>
    </message>
</context>
<context>
    <name>UndeleteDlg</name>
    <message>
        <source>Undelete Card</source>
        <translation>Karte wiederherstellen</translation>
    </message>
    <message>
        <source>Side 1:</source>
        <translation>Seite 1:</translation>
    </message>
    <message>
        <source>Side 2:</source>
        <translation>Seite 2:</translation>
    </message>
    <message>
        <source>&amp;Undelete</source>
        <translation>&amp;Zurückholen</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Previous deleted card</source>
        <translation>Vorige gelöschte Karte</translation>
    </message>
    <message>
        <source>Next deleted card</source>
        <translation>Nächste gelöschte Karte</translation>
    </message>
</context>
<context>
    <name>mdk::AboutWindow</name>
    <message>
        <source>About Mnemodeck</source>
        <translation>Über Mnemodeck</translation>
    </message>
    <message>
        <source>&amp;Ok</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>Two-sided study cards: learn a word, a date or a formula one side at a time.</source>
        <translation>Zweiseitige Lernkarten: ein Wort, ein Datum oder eine Formel lernen, eine Seite nach der anderen.</translation>
    </message>
</context>
<context>
    <name>mdk::AddCardDlg</name>
    <message>
        <source>Category: </source>
        <translation>Kategorie: </translation>
    </message>
</context>
<context>
    <name>mdk::CategoryController</name>
    <message>
        <source>Name already used</source>
        <translation>Name bereits vergeben</translation>
    </message>
    <message>
        <source>Category cleared</source>
        <translation>Kategorie geleert</translation>
    </message>
</context>
<context>
    <name>mdk::CategoryNameDlg</name>
    <message>
        <source>Create new category</source>
        <translation>Neue Kategorie anlegen</translation>
    </message>
    <message>
        <source>Rename category</source>
        <translation>Kategorie umbenennen</translation>
    </message>
    <message>
        <source>At most %1 characters</source>
        <translation>Höchstens %1 Zeichen</translation>
    </message>
</context>
<context>
    <name>mdk::CategoryTreeWidget</name>
    <message>
        <source>Level %1</source>
        <translation>Ebene %1</translation>
    </message>
</context>
<context>
    <name>mdk::Converter</name>
    <message>
        <source>Convert File</source>
        <translation>Datei konvertieren</translation>
    </message>
</context>
<context>
    <name>mdk::EarlierVersionsDlg</name>
    <message>
        <source>&amp;Restore</source>
        <translation>&amp;Wiederherstellen</translation>
    </message>
</context>
<context>
    <name>mdk::EditController</name>
    <message>
        <source>To edit a card, you must be viewing the card you wish to edit.</source>
        <translation>Um eine Karte zu bearbeiten, muss die gewünschte Karte angezeigt sein.</translation>
    </message>
    <message>
        <source>Card deleted</source>
        <translation>Karte gelöscht</translation>
    </message>
    <message>
        <source>Undelete Card</source>
        <translation>Karte wiederherstellen</translation>
    </message>
    <message>
        <source>No cards have been deleted.  Cannot undelete.</source>
        <translation>Es wurden keine Karten gelöscht.  Nichts wiederherzustellen.</translation>
    </message>
    <message>
        <source>Undelete All</source>
        <translation>Alle wiederherstellen</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Ausschneiden</translation>
    </message>
    <message>
        <source>You must be viewing the card you wish to cut.</source>
        <translation>Die auszuschneidende Karte muss angezeigt sein.</translation>
    </message>
    <message>
        <source>Card has been cut</source>
        <translation>Karte wurde ausgeschnitten</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>You must be viewing the card you wish to copy.</source>
        <translation>Die zu kopierende Karte muss angezeigt sein.</translation>
    </message>
    <message>
        <source>Card has been copied to memory</source>
        <translation>Karte wurde in den Speicher kopiert</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Einfügen</translation>
    </message>
    <message>
        <source>You have not copied or cut a card yet.</source>
        <translation>Sie haben noch keine Karte kopiert oder ausgeschnitten.</translation>
    </message>
    <message>
        <source>Card has been pasted</source>
        <translation>Karte wurde eingefügt</translation>
    </message>
    <message>
        <source>Move</source>
        <translation>Verschieben</translation>
    </message>
    <message>
        <source>Move cards</source>
        <translation>Karten verschieben</translation>
    </message>
    <message>
        <source>Undone: %1</source>
        <translation>Rückgängig gemacht: %1</translation>
    </message>
    <message>
        <source>Redone: %1</source>
        <translation>Wiederholt: %1</translation>
    </message>
    <message>
        <source>%1; subcategories are no longer shown</source>
        <translation>%1; Unterkategorien werden nicht mehr angezeigt</translation>
    </message>
    <message>
        <source>%1; subcategories are shown</source>
        <translation>%1; Unterkategorien werden angezeigt</translation>
    </message>
</context>
<context>
    <name>mdk::ExchangeController</name>
    <message>
        <source>Reading %1...</source>
        <translation>%1 wird gelesen...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Import cancelled</source>
        <translation>Import abgebrochen</translation>
    </message>
    <message>
        <source>%1 could not be written: %2</source>
        <translation>%1 konnte nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>%1 cards exported to %2</source>
        <translation>Nach %2 exportierte Karten: %1</translation>
    </message>
    <message>
        <source>Adding the cards of %1...</source>
        <translation>Karten aus %1 werden hinzugefügt...</translation>
    </message>
    <message>
        <source>Cannot export to %1.  It is the card file that is open now; choose another name.</source>
        <translation>Export nach %1 nicht möglich.  Das ist die gerade geöffnete Kartendatei; wählen Sie einen anderen Namen.</translation>
    </message>
    <message>
        <source>%1 is a card file.  Replace its cards with the exported ones?</source>
        <translation>%1 ist eine Kartendatei.  Ihre Karten durch die exportierten ersetzen?</translation>
    </message>
</context>
<context>
    <name>mdk::ExportDlg</name>
    <message>
        <source>E&amp;xport</source>
        <translation>E&amp;xportieren</translation>
    </message>
    <message>
        <source>Format</source>
        <translation>Format</translation>
    </message>
</context>
<context>
    <name>mdk::ExtendedDlg</name>
    <message>
        <source>Add to search text</source>
        <translation>Zum Suchtext hinzufügen</translation>
    </message>
</context>
<context>
    <name>mdk::FileCommands</name>
    <message>
        <source>Revert</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>File reverted</source>
        <translation>Datei zurückgesetzt</translation>
    </message>
    <message>
        <source>Cannot save the category as %1.  It is the card file that is open now; choose another name.</source>
        <translation>Die Kategorie kann nicht als %1 gespeichert werden.  Das ist die gerade geöffnete Kartendatei; wählen Sie einen anderen Namen.</translation>
    </message>
    <message>
        <source>Category saved</source>
        <translation>Kategorie gespeichert</translation>
    </message>
    <message>
        <source>Cannot load </source>
        <translation>Laden nicht möglich: </translation>
    </message>
    <message>
        <source> in the </source>
        <translation> im Ordner </translation>
    </message>
    <message>
        <source> folder.</source>
        <translation>.</translation>
    </message>
</context>
<context>
    <name>mdk::HelpViewer</name>
    <message>
        <source>Mnemodeck Help</source>
        <translation>Mnemodeck-Hilfe</translation>
    </message>
    <message>
        <source>The help file %1 could not be opened: %2</source>
        <translation>Die Hilfedatei %1 konnte nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>Help text</source>
        <translation>Hilfetext</translation>
    </message>
</context>
<context>
    <name>mdk::ImportDlg</name>
    <message>
        <source>KDE vocabulary</source>
        <translation>KDE-Vokabeldatei</translation>
    </message>
    <message>
        <source>flashcard text export</source>
        <translation>Textexport von Lernkarten</translation>
    </message>
    <message>
        <source>delimited text</source>
        <translation>Text mit Trennzeichen</translation>
    </message>
    <message>
        <source>tab</source>
        <translation>Tabulator</translation>
    </message>
    <message>
        <source>semicolon</source>
        <translation>Semikolon</translation>
    </message>
    <message>
        <source>comma</source>
        <translation>Komma</translation>
    </message>
    <message>
        <source>&amp;Import</source>
        <translation>I&amp;mportieren</translation>
    </message>
    <message>
        <source>Select all</source>
        <translation>Alles auswählen</translation>
    </message>
    <message>
        <source>Format</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>Encoding</source>
        <translation>Kodierung</translation>
    </message>
    <message>
        <source>Delimiter</source>
        <translation>Trennzeichen</translation>
    </message>
    <message>
        <source>First line is a header</source>
        <translation>Erste Zeile ist Kopfzeile</translation>
    </message>
    <message>
        <source>Into category</source>
        <translation>In Kategorie</translation>
    </message>
    <message>
        <source>When side 1 is already there</source>
        <translation>Wenn Seite 1 schon vorhanden ist</translation>
    </message>
    <message>
        <source>Read as %1 in %2</source>
        <translation>Gelesen als %1 in %2</translation>
    </message>
    <message>
        <source>, %1-separated</source>
        <translation>, getrennt durch %1</translation>
    </message>
    <message>
        <source>, first line a header</source>
        <translation>, erste Zeile als Kopfzeile</translation>
    </message>
    <message>
        <source>%1 lines could not be read (the first at line %2: %3).</source>
        <translation>Nicht lesbare Zeilen: %1 (die erste ist Zeile %2: %3).</translation>
    </message>
    <message>
        <source>flashcard package</source>
        <translation>Lernkartenpaket</translation>
    </message>
    <message>
        <source>Side 1</source>
        <translation>Seite 1</translation>
    </message>
    <message>
        <source>Side 2</source>
        <translation>Seite 2</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>Kategorie</translation>
    </message>
    <message>
        <source>Read as %1</source>
        <translation>Gelesen als %1</translation>
    </message>
</context>
<context>
    <name>mdk::IntroSplash</name>
    <message>
        <source>Welcome to Mnemodeck</source>
        <translation>Willkommen bei Mnemodeck</translation>
    </message>
</context>
<context>
    <name>mdk::JumpToCardDlg</name>
    <message>
        <source>From 1 to %1</source>
        <translation>Von 1 bis %1</translation>
    </message>
</context>
<context>
    <name>mdk::MDKMainDlg</name>
    <message>
        <source>Categories</source>
        <translation>Kategorien</translation>
    </message>
    <message>
        <source>Card scroll bar</source>
        <translation>Bildlaufleiste der Karte</translation>
    </message>
</context>
<context>
    <name>mdk::MnemodeckWindow</name>
    <message>
        <source>Tool bar</source>
        <translation>Werkzeugleiste</translation>
    </message>
    <message>
        <source>More tools</source>
        <translation>Weitere Werkzeuge</translation>
    </message>
    <message>
        <source>Cards to review</source>
        <translation>Zu lernende Karten</translation>
    </message>
    <message>
        <source>Recent file %1</source>
        <translation>Zuletzt geöffnete Datei %1</translation>
    </message>
</context>
<context>
    <name>mdk::NotepadWindow</name>
    <message>
        <source>Notepad</source>
        <translation>Notizblock</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>Extended chars...</source>
        <translation>Sonderzeichen...</translation>
    </message>
    <message>
        <source>Discard the notes?</source>
        <translation>Die Notizen verwerfen?</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Notizen</translation>
    </message>
</context>
<context>
    <name>mdk::OpenDocument</name>
    <message>
        <source>Load</source>
        <translation>Laden</translation>
    </message>
    <message>
        <source> cards</source>
        <translation> Karten</translation>
    </message>
    <message>
        <source> already exists.  Do you want to replace it?</source>
        <translation> gibt es bereits.  Möchten Sie die Datei ersetzen?</translation>
    </message>
    <message>
        <source>Cannot save %1.  %2  %3</source>
        <translation>%1 kann nicht gespeichert werden.  %2  %3</translation>
    </message>
    <message>
        <source>The file on disk has not been changed.</source>
        <translation>Die Datei auf dem Datenträger wurde nicht verändert.</translation>
    </message>
    <message>
        <source>Nothing was written.</source>
        <translation>Es wurde nichts geschrieben.</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Speichern unter</translation>
    </message>
    <message>
        <source>%1 is open in another Mnemodeck window (process %2). %3</source>
        <translation>%1 ist in einem anderen Mnemodeck-Fenster geöffnet (Prozess %2). %3</translation>
    </message>
    <message>
        <source>Save over it anyway?</source>
        <translation>Trotzdem überschreiben?</translation>
    </message>
    <message>
        <source>Open it anyway?</source>
        <translation>Trotzdem öffnen?</translation>
    </message>
    <message>
        <source>Earlier version restored: %1 cards</source>
        <translation>Frühere Version wiederhergestellt: %1 Karten</translation>
    </message>
    <message>
        <source>%1 was changed on disk since it was opened. Overwrite it with your version?</source>
        <translation>%1 wurde seit dem Öffnen auf dem Datenträger geändert. Mit Ihrer Version überschreiben?</translation>
    </message>
    <message>
        <source>Overwrite</source>
        <translation>Überschreiben</translation>
    </message>
    <message>
        <source>Save As...</source>
        <translation>Speichern unter...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>File saved</source>
        <translation>Datei gespeichert</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>An error occured.  Cannot load </source>
        <translation>Ein Fehler ist aufgetreten.  Laden nicht möglich: </translation>
    </message>
    <message>
        <source>%1 is open in Mnemodeck on %2 (process %3). %4</source>
        <translation>%1 ist in Mnemodeck auf %2 geöffnet (Prozess %3). %4</translation>
    </message>
    <message>
        <source>%1 is not protected against a second writer: the lock folder %2 cannot be written.</source>
        <translation>%1 ist nicht vor einem zweiten schreibenden Programm geschützt: In den Sperrordner %2 kann nicht geschrieben werden.</translation>
    </message>
</context>
<context>
    <name>mdk::PrintController</name>
    <message>
        <source>Printing</source>
        <translation>Drucken</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>Seite %1 von %2</translation>
    </message>
</context>
<context>
    <name>mdk::RecoveryController</name>
    <message>
        <source>Recovery</source>
        <translation>Wiederherstellung</translation>
    </message>
    <message>
        <source>The recovery copy could not be read.  It is kept in %1.</source>
        <translation>Die Sicherungskopie konnte nicht gelesen werden.  Sie bleibt in %1 erhalten.</translation>
    </message>
    <message>
        <source>Recovered %1 cards</source>
        <translation>%1 Karten wiederhergestellt</translation>
    </message>
    <message>
        <source>The recovery copy could not be written.  </source>
        <translation>Die Sicherungskopie konnte nicht geschrieben werden.  </translation>
    </message>
    <message>
        <source>Recovered 1 card</source>
        <translation>1 Karte wiederhergestellt</translation>
    </message>
</context>
<context>
    <name>mdk::ReviewController</name>
    <message>
        <source>Nothing to review now: no card is due and no new card is left.</source>
        <translation>Gerade gibt es nichts zu lernen: keine Karte ist fällig und keine neue mehr übrig.</translation>
    </message>
    <message>
        <source>Save as PNG</source>
        <translation>Als PNG speichern</translation>
    </message>
    <message>
        <source>The picture could not be saved.</source>
        <translation>Das Bild konnte nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>Re-attach</source>
        <translation>Neu zuordnen</translation>
    </message>
    <message>
        <source>The deck could not be re-attached: the review progress cannot be written.</source>
        <translation>Der Kartensatz konnte nicht neu zugeordnet werden: Der Lernfortschritt kann nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>The review progress could not be read.</source>
        <translation>Der Lernfortschritt konnte nicht gelesen werden.</translation>
    </message>
    <message>
        <source>%1 due · %2 new</source>
        <translation>%1 fällig · %2 neu</translation>
    </message>
    <message>
        <source>Review</source>
        <translation>Lernrunde</translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>Unbenannt</translation>
    </message>
    <message>
        <source>The answer could not be taken back in the review progress.</source>
        <translation>Die Antwort konnte im Lernfortschritt nicht zurückgenommen werden.</translation>
    </message>
    <message>
        <source>Statistics</source>
        <translation>Statistik</translation>
    </message>
    <message>
        <source>The deck&apos;s progress counts again under %1.</source>
        <translation>Der Lernfortschritt des Kartensatzes zählt wieder unter %1.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Too few reviews to fit the parameters: %1 of the %2 needed.</source>
        <translation>Zu wenige Wiederholungen, um die Parameter anzupassen: %1 der nötigen %2.</translation>
    </message>
    <message>
        <source>Fitting the parameters to your reviews...</source>
        <translation>Die Parameter werden an Ihre Wiederholungen angepasst...</translation>
    </message>
    <message>
        <source>Too few reviews to fit the parameters.</source>
        <translation>Zu wenige Wiederholungen, um die Parameter anzupassen.</translation>
    </message>
    <message>
        <source>Optimise was cancelled; the parameters are as they were.</source>
        <translation>Optimieren wurde abgebrochen; die Parameter sind unverändert.</translation>
    </message>
    <message>
        <source>Fitted to %1 reviews. Log loss %2 → %3, RMSE %4 → %5. OK keeps them.</source>
        <translation>An %1 Wiederholungen angepasst. Log-Loss %2 → %3, RMSE %4 → %5. OK übernimmt sie.</translation>
    </message>
    <message>
        <source>Rescheduling every card...</source>
        <translation>Alle Karten werden neu geplant...</translation>
    </message>
    <message>
        <source>Review options</source>
        <translation>Lernrunden-Optionen</translation>
    </message>
    <message>
        <source>The memory model&apos;s settings were not changed: the review progress cannot be written or the change was cancelled.</source>
        <translation>Die Einstellungen des Gedächtnismodells wurden nicht geändert: Der Lernfortschritt kann nicht geschrieben werden, oder die Änderung wurde abgebrochen.</translation>
    </message>
</context>
<context>
    <name>mdk::ReviewOptionsDlg</name>
    <message>
        <source>Ask</source>
        <translation>Abfrage</translation>
    </message>
    <message>
        <source>A new day starts at</source>
        <translation>Ein neuer Tag beginnt um</translation>
    </message>
    <message>
        <source>Scheduler</source>
        <translation>Planer</translation>
    </message>
</context>
<context>
    <name>mdk::ReviewWindow</name>
    <message>
        <source>Ask</source>
        <translation>Abfrage</translation>
    </message>
    <message>
        <source>Question</source>
        <translation>Frage</translation>
    </message>
    <message>
        <source>Answer</source>
        <translation>Antwort</translation>
    </message>
    <message>
        <source>%1 · %2</source>
        <translation>%1 · %2</translation>
    </message>
    <message>
        <source>Review - %1</source>
        <translation>Lernrunde - %1</translation>
    </message>
    <message>
        <source>Space or Enter: show answer · 1: Again · 2: Hard · 3: Good · 4: Easy · Ctrl+Z: take back the last answer · Escape: end</source>
        <translation>Leertaste oder Eingabe: Antwort zeigen · 1: Nochmal · 2: Schwer · 3: Gut · 4: Leicht · Strg+Z: letzte Antwort zurücknehmen · Esc: beenden</translation>
    </message>
    <message>
        <source>Space or Enter: show answer · Right, K or 1: Good · Left, J or 2: Again · Ctrl+Z: take back the last answer · Escape: end</source>
        <translation>Leertaste oder Eingabe: Antwort zeigen · Rechts, K oder 1: Gut · Links, J oder 2: Nochmal · Strg+Z: letzte Antwort zurücknehmen · Esc: beenden</translation>
    </message>
    <message>
        <source>Again</source>
        <translation>Nochmal</translation>
    </message>
    <message>
        <source>Hard</source>
        <translation>Schwer</translation>
    </message>
    <message>
        <source>Good</source>
        <translation>Gut</translation>
    </message>
    <message>
        <source>Easy</source>
        <translation>Leicht</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <translation>%1 %2</translation>
    </message>
</context>
<context>
    <name>mdk::SearchController</name>
    <message>
        <source>Search</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Search for Card</source>
        <translation>Karte suchen</translation>
    </message>
    <message>
        <source>Card not found.</source>
        <translation>Karte nicht gefunden.</translation>
    </message>
    <message>
        <source>Found </source>
        <translation>Gefunden: </translation>
    </message>
    <message>
        <source>Search for Card Again</source>
        <translation>Karte weitersuchen</translation>
    </message>
    <message>
        <source> was not found.</source>
        <translation> wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>Shuffle Cards</source>
        <translation>Karten mischen</translation>
    </message>
    <message>
        <source>Flip</source>
        <translation>Umdrehen</translation>
    </message>
    <message>
        <source>Cards flipped</source>
        <translation>Karten umgedreht</translation>
    </message>
</context>
<context>
    <name>mdk::StatisticsWindow</name>
    <message>
        <source>Cards per box</source>
        <translation>Karten pro Fach</translation>
    </message>
    <message>
        <source>Share known per week (%), this week last</source>
        <translation>Anteil gewusst pro Woche (%), diese Woche zuletzt</translation>
    </message>
    <message>
        <source>Reviews per day, last 30 days</source>
        <translation>Antworten pro Tag, letzte 30 Tage</translation>
    </message>
    <message>
        <source>Cards</source>
        <translation>Karten</translation>
    </message>
    <message>
        <source>Decks whose file is gone</source>
        <translation>Kartensätze ohne Datei</translation>
    </message>
    <message>
        <source>new</source>
        <translation>neu</translation>
    </message>
    <message>
        <source>new: %1</source>
        <translation>neu: %1</translation>
    </message>
    <message>
        <source>box %1: %2</source>
        <translation>Fach %1: %2</translation>
    </message>
    <message>
        <source>d MMMM</source>
        <extracomment>A day a screen reader says: day and month name (&quot;6 April&quot;).</extracomment>
        <translation>d. MMMM</translation>
    </message>
    <message>
        <source>no reviews</source>
        <translation>keine Antworten</translation>
    </message>
    <message>
        <source>d MMM</source>
        <extracomment>The dates under the reviews per day: day and short month name (&quot;6 Apr&quot;).</extracomment>
        <translation>d. MMM</translation>
    </message>
    <message>
        <source>now</source>
        <translation>jetzt</translation>
    </message>
    <message>
        <source>this week: %1 %</source>
        <translation>diese Woche: %1 %</translation>
    </message>
    <message>
        <source>last week: %1 %</source>
        <translation>letzte Woche: %1 %</translation>
    </message>
    <message>
        <source>%1 weeks ago: %2 %</source>
        <translation>vor %1 Wochen: %2 %</translation>
    </message>
    <message>
        <source>no answers</source>
        <translation>keine Antworten</translation>
    </message>
    <message>
        <source>Due today: %1 · tomorrow: %2 · this week: %3</source>
        <translation>Fällig heute: %1 · morgen: %2 · diese Woche: %3</translation>
    </message>
    <message>
        <source>Cards due in the next 30 days (0: today)</source>
        <translation>Fällige Karten in den nächsten 30 Tagen (0: heute)</translation>
    </message>
    <message>
        <source>today: %1</source>
        <translation>heute: %1</translation>
    </message>
    <message>
        <source>tomorrow: %1</source>
        <translation>morgen: %1</translation>
    </message>
    <message>
        <source>in %1 days: %2</source>
        <translation>in %1 Tagen: %2</translation>
    </message>
    <message>
        <source>no cards due</source>
        <translation>keine Karten fällig</translation>
    </message>
    <message numerus="yes">
        <source>%1 (%n card(s))</source>
        <translation>
            <numerusform>%1 (%n Karte)</numerusform>
            <numerusform>%1 (%n Karten)</numerusform>
        </translation>
    </message>
    <message>
        <source>learning</source>
        <translation>lernend</translation>
    </message>
    <message>
        <source>review</source>
        <translation>Wiederholung</translation>
    </message>
    <message>
        <source>relearning</source>
        <translation>neu lernend</translation>
    </message>
    <message>
        <source>Cards by state</source>
        <translation>Karten nach Zustand</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>True retention per week (%), mature cards, this week last</source>
        <translation>Tatsächliche Behaltensquote je Woche (%), reife Karten, diese Woche zuletzt</translation>
    </message>
</context>
<context>
    <name>mdk::StudyController</name>
    <message>
        <source>Jump</source>
        <translation>Gehe zu</translation>
    </message>
    <message>
        <source>You must have a card to jump to.</source>
        <translation>Es gibt keine Karte, zu der gesprungen werden kann.</translation>
    </message>
    <message>
        <source>Cannot mark all the cards in this file.  You must have at least 1 unmarked card.</source>
        <translation>Es können nicht alle Karten dieser Datei markiert werden.  Mindestens eine Karte muss unmarkiert bleiben.</translation>
    </message>
    <message>
        <source>Mark</source>
        <translation>Markieren</translation>
    </message>
</context>
<context>
    <name>mdk::TransferController</name>
    <message>
        <source>Source file</source>
        <translation>Quelldatei</translation>
    </message>
    <message>
        <source>Destination file</source>
        <translation>Zieldatei</translation>
    </message>
    <message>
        <source>File Open</source>
        <translation>Datei öffnen</translation>
    </message>
    <message>
        <source>%1 could not be written: %2</source>
        <translation>%1 konnte nicht geschrieben werden: %2</translation>
    </message>
</context>
<context>
    <name>mdk::UserDialogs</name>
    <message>
        <source>Printer setup</source>
        <translation>Druckereinrichtung</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Font</source>
        <translation>Schriftart</translation>
    </message>
    <message>
        <source>&amp;Recover</source>
        <translation>&amp;Wiederherstellen</translation>
    </message>
    <message>
        <source>&amp;Discard</source>
        <translation>&amp;Verwerfen</translation>
    </message>
    <message>
        <source>Decide &amp;later</source>
        <translation>&amp;Später entscheiden</translation>
    </message>
</context>
<context>
    <name>mdk::VersionController</name>
    <message>
        <source>Earlier versions</source>
        <translation>Frühere Versionen</translation>
    </message>
    <message>
        <source>An error occured.  The file could not be opened.</source>
        <translation>Ein Fehler ist aufgetreten.  Die Datei konnte nicht geöffnet werden.</translation>
    </message>
</context>
<context>
    <name>mdk::accessible</name>
    <message>
        <source>%1 vertical scroll bar</source>
        <translation>%1, senkrechte Bildlaufleiste</translation>
    </message>
    <message>
        <source>%1 horizontal scroll bar</source>
        <translation>%1, waagrechte Bildlaufleiste</translation>
    </message>
</context>
</TS>
