<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>parlino::DbusNotifications</name>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
</context>
<context>
    <name>parlino::QtFontChooser</name>
    <message>
        <source>Font</source>
        <translation>Schriftart</translation>
    </message>
    <message>
        <source>&amp;Colour...</source>
        <translation>&amp;Farbe...</translation>
    </message>
    <message>
        <source>Colour</source>
        <translation>Farbe</translation>
    </message>
</context>
<context>
    <name>parlino::StationTree</name>
    <message>
        <source>Network</source>
        <translation>Netzwerk</translation>
    </message>
</context>
<context>
    <name>parlino::TAboutForm</name>
    <message>
        <source>About</source>
        <translation>Über Parlino</translation>
    </message>
    <message>
        <source>Parlino v. 1.0</source>
        <translation>Parlino v. 1.0</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>parlino::TChatForm</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>C&amp;lear</source>
        <translation>&amp;Leeren</translation>
    </message>
    <message>
        <source>&amp;Minimize</source>
        <translation>&amp;Ablegen</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source> Flash</source>
        <translation> Blinken</translation>
    </message>
    <message>
        <source>&amp;Show</source>
        <translation>&amp;Anzeigen</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>&amp;Alles auswählen</translation>
    </message>
    <message>
        <source>Chat with %1</source>
        <translation>Chat mit %1</translation>
    </message>
    <message>
        <source>(not sent: %1 characters, one message holds at most %2)</source>
        <translation>(nicht gesendet: %1 Zeichen, eine Nachricht fasst höchstens %2)</translation>
    </message>
    <message>
        <source>(not delivered to %1)</source>
        <translation>(nicht zugestellt an %1)</translation>
    </message>
    <message>
        <source>Ritch Text Format (*.RTF)|*.rtf|All Files (*.*)|*.*</source>
        <extracomment>Descriptions and patterns in pairs, each after a bar; only the descriptions are words.</extracomment>
        <translation>Rich-Text-Format (*.RTF)|*.rtf|Alle Dateien (*.*)|*.*</translation>
    </message>
    <message>
        <source>Conversation with %1</source>
        <translation>Unterhaltung mit %1</translation>
    </message>
    <message>
        <source>Message to %1</source>
        <translation>Nachricht an %1</translation>
    </message>
</context>
<context>
    <name>parlino::TIniFile</name>
    <message>
        <source>Unable to write to %1</source>
        <translation>In %1 kann nicht geschrieben werden</translation>
    </message>
</context>
<context>
    <name>parlino::TMainForm</name>
    <message>
        <source>&amp;Chat</source>
        <translation>&amp;Chat</translation>
    </message>
    <message>
        <source>&amp;Refresh Net</source>
        <translation>&amp;Neu laden</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>&amp;Optionen</translation>
    </message>
    <message>
        <source>&amp;Minimize</source>
        <translation>&amp;Ablegen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Show</source>
        <translation>&amp;Anzeigen</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;Über Parlino</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Inhalt</translation>
    </message>
    <message>
        <source>&amp;Visit program homepage</source>
        <translation>&amp;Webseite des Programms besuchen</translation>
    </message>
    <message>
        <source>Not receiving messages: %1</source>
        <translation>Kein Nachrichtenempfang: %1</translation>
    </message>
    <message>
        <source>the name is held by another program</source>
        <translation>der Name ist von einem anderen Programm belegt</translation>
    </message>
    <message>
        <source>port %1 needs the capability, see README</source>
        <translation>Port %1 braucht die Berechtigung, siehe README</translation>
    </message>
    <message>
        <source>Couldn&apos;t create window</source>
        <translation>Das Fenster konnte nicht erstellt werden</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Settings file ignored: %1</source>
        <translation>Einstellungsdatei nicht verwendet: %1</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Network</source>
        <translation>Netzwerk</translation>
    </message>
</context>
<context>
    <name>parlino::TOptiuniForm</name>
    <message>
        <source>Options</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>Choose the fonts used for chat :</source>
        <translation>Schriftarten für den Chat wählen:</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>Senden</translation>
    </message>
    <message>
        <source>Choose Font</source>
        <translation>Schriftart...</translation>
    </message>
    <message>
        <source>Receive</source>
        <translation>Empfangen</translation>
    </message>
    <message>
        <source>Start minimized</source>
        <translation>Abgelegt starten</translation>
    </message>
    <message>
        <source>Auto-refresh</source>
        <translation>Auto-Neuladen</translation>
    </message>
    <message>
        <source>Play a WAV when a message arrives</source>
        <translation>WAV bei neuer Nachricht abspielen</translation>
    </message>
    <message>
        <source>Choose the WAV file :</source>
        <translation>WAV-Datei wählen:</translation>
    </message>
    <message>
        <source>&amp;Browse</source>
        <translation>&amp;Suchen...</translation>
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
        <source>Flash window when a message arrives</source>
        <translation>Fenster bei neuer Nachricht blinken</translation>
    </message>
    <message>
        <source>Display the time when messages arrives</source>
        <translation>Empfangszeit der Nachrichten anzeigen</translation>
    </message>
    <message>
        <source>Wav Files|*.wav</source>
        <extracomment>A description and its pattern after a bar; only the description is words.</extracomment>
        <translation>WAV-Dateien|*.wav</translation>
    </message>
    <message>
        <source>Font of sent lines</source>
        <translation>Schrift der gesendeten Zeilen</translation>
    </message>
    <message>
        <source>Font of received lines</source>
        <translation>Schrift der empfangenen Zeilen</translation>
    </message>
</context>
<context>
    <name>parlino::TREdit</name>
    <message>
        <source>RichEdit line insertion error</source>
        <translation>Fehler beim Einfügen einer Zeile in RichEdit</translation>
    </message>
    <message>
        <source>Cannot create file %1</source>
        <translation>Die Datei %1 kann nicht erstellt werden</translation>
    </message>
    <message>
        <source>Failed to Save Stream</source>
        <translation>Speichern des Datenstroms fehlgeschlagen</translation>
    </message>
</context>
<context>
    <name>parlino::WinsRegistration</name>
    <message>
        <source>error %1</source>
        <translation>Fehler %1</translation>
    </message>
    <message>
        <source>another computer holds it</source>
        <translation>ein anderer Computer hält ihn</translation>
    </message>
    <message>
        <source>the server keeps it for itself or others</source>
        <translation>der Server behält ihn für sich oder andere vor</translation>
    </message>
    <message>
        <source>the WINS server %1 refused the name %2: %3</source>
        <translation>der WINS-Server %1 hat den Namen %2 abgelehnt: %3</translation>
    </message>
</context>
</TS>
